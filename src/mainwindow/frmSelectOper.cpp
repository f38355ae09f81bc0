// The picker of one row by name.
#include "mainwindow/frmSelectOper.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "odb/ui/ModalDialog.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"

frmSelectOper::frmSelectOper(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmSelectOper"));
    setWindowTitle(kAppSettingsName);
    setModal(true);
    auto* label = new QLabel(QStringLiteral("OPERATORE"), this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    // A list to pick from, never free text: the name and the key always come from one row.
    CmbOperatore_ = new QComboBox(this);
    CmbOperatore_->setObjectName(QStringLiteral("CmbOperatore"));
    CmbOperatore_->setEditable(false);
    CmbOperatore_->setMinimumWidth(CmbOperatore_->fontMetrics().averageCharWidth() * 30);
    label->setBuddy(CmbOperatore_);
    cmdConfirm_ = new QPushButton(QStringLiteral("OK"), this);
    cmdConfirm_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdConfirm_);
    buttons->addWidget(cmdCancel_);
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(label, 0, 0);
    grid->addWidget(CmbOperatore_, 1, 0);
    grid->addLayout(buttons, 2, 0);
    connect(cmdConfirm_, &QPushButton::clicked, this, &frmSelectOper::cmdConfirm_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmSelectOper::cmdCancel_Click);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
}

void frmSelectOper::Form_Load() {
    if (m_strTableName.isEmpty()) m_strTableName = QStringLiteral("Operatori");
    std::shared_ptr<odb::DataSet> rows =
        GetDBTable(m_strTableName).OpenData(QString(), QStringLiteral("Nome"));
    CmbOperatore_->clear();
    keys_.clear();
    int preselected = 0;
    for (bool more = rows->RowFirst(); more && !rows->RowInvalid(); more = rows->RowNext()) {
        const QString name = rows->ColText(QStringLiteral("Nome"));
        if (!m_strOperatore.isEmpty() && preselected == 0 && name == m_strOperatore)
            preselected = CmbOperatore_->count();
        CmbOperatore_->addItem(name);
        keys_.push_back(rows->Bookmark(0));
    }
    CmbOperatore_->setCurrentIndex(CmbOperatore_->count() > 0 ? preselected : -1);
    // Closing without a confirmation hands back no name.
    m_strOperatore.clear();
}

void frmSelectOper::ShowModal() {
    Form_Load();
    adjustSize();
    if (parentWidget()) move(parentWidget()->window()->geometry().center() - rect().center());
    odb::RunModal(*this);
}

void frmSelectOper::cmdConfirm_Click() {
    const int row = CmbOperatore_->currentIndex();
    if (row >= 0 && row < static_cast<int>(keys_.size()) && !CmbOperatore_->currentText().isEmpty()) {
        m_strOperatore = CmbOperatore_->currentText();
        m_vntOID_Operatore = keys_[static_cast<size_t>(row)];
    }
    accept();
}

void frmSelectOper::cmdCancel_Click() {
    m_strOperatore.clear();
    reject();
}
