// The choice of the job-order details closed together.
#include "terminal/frmSelectLavrix.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/DatabaseOpening.h"
#include "startup/modZeltoFormUtility.h"
#include "terminal/modBarcodeReader.h"

namespace {

bool isEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

QLabel* heading(const QString& text, QWidget* parent, bool bold) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

}  // namespace

frmSelectLavrix* frmSelectLavrix::Get() {
    // Owned by the window it was last shown over: made again when that one went away.
    static QPointer<frmSelectLavrix> window;
    if (!window) window = new frmSelectLavrix;
    return window;
}

frmSelectLavrix::frmSelectLavrix() {
    setObjectName(QStringLiteral("frmSelectLavrix"));
    setWindowTitle(QStringLiteral("Selezione commesse"));
    lstOpenSubLavrix_ = new QListWidget(this);
    lstSubLavrixToClose_ = new QListWidget(this);
    txtFind_Commessa_ = new QLineEdit(this);
    txtFind_Commessa_->setToolTip(QStringLiteral("Imposta il codice della COMMESSA"));
    cmdConferma_ = new QPushButton(QStringLiteral("Conferma (invio)"), this);
    cmdConferma_->setAutoDefault(false);
    cmdConferma_->setMinimumHeight(40);
    for (QListWidget* list : {lstOpenSubLavrix_, lstSubLavrixToClose_}) {
        QFont font = list->font();
        font.setPointSizeF(font.pointSizeF() * 1.3);
        list->setFont(font);
        list->setMinimumSize(220, 200);
    }

    auto* layout = new QGridLayout(this);
    auto* title =
        heading(QStringLiteral("Selezionare le eventuali commesse del gruppo  (i tempi saranno suddivisi)"),
                this, true);
    title->setWordWrap(true);
    layout->addWidget(title, 0, 0, 1, 2);
    layout->addWidget(heading(QStringLiteral("Commesse aperte:"), this, true), 1, 0);
    layout->addWidget(heading(QStringLiteral("Da chiudere (stesso gruppo):"), this, true), 1, 1);
    layout->addWidget(lstOpenSubLavrix_, 2, 0);
    layout->addWidget(lstSubLavrixToClose_, 2, 1);
    layout->addWidget(heading(QStringLiteral("Selezionare per chiudere"), this, false), 3, 0);
    layout->addWidget(heading(QStringLiteral("Selezionare per riaprire"), this, false), 3, 1);
    auto* input = new QHBoxLayout;
    input->addWidget(heading(QStringLiteral("Num. Commessa:"), this, true));
    input->addWidget(txtFind_Commessa_, 1);
    layout->addLayout(input, 4, 0);
    layout->addWidget(cmdConferma_, 4, 1);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    connect(txtFind_Commessa_, &QLineEdit::textChanged, this, &frmSelectLavrix::txtFind_Commessa_Change);
    connect(cmdConferma_, &QPushButton::clicked, this, &frmSelectLavrix::cmdConferma_Click);
    connect(lstOpenSubLavrix_, &QListWidget::itemDoubleClicked, this,
            [this] { listDoubleClicked(lstOpenSubLavrix_); });
    connect(lstSubLavrixToClose_, &QListWidget::itemDoubleClicked, this,
            [this] { listDoubleClicked(lstSubLavrixToClose_); });
    // The window sees keys before its controls.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    // The numbers were read from the database let go: a choice made of them closes nothing.
    OnDatabaseRelease(this, [this] { Unload(); });
}

void frmSelectLavrix::ShowModal(QWidget* parent) {
    setParent(parent, Qt::Dialog);
    txtFind_Commessa_->clear();
    txtFind_Commessa_->setFocus();
    odb::RunModal(*this);
    hide();
}

QStringList frmSelectLavrix::ToClose() const {
    QStringList numbers;
    for (int i = 0; i < lstSubLavrixToClose_->count(); ++i)
        numbers << lstSubLavrixToClose_->item(i)->text();
    return numbers;
}

void frmSelectLavrix::Unload() {
    lstOpenSubLavrix_->clear();
    lstSubLavrixToClose_->clear();
    txtFind_Commessa_->clear();
    done(QDialog::Rejected);
    hide();
}

void frmSelectLavrix::cmdConferma_Click() {
    // The lists stay as they are for the caller to read.
    done(QDialog::Accepted);
}

void frmSelectLavrix::txtFind_Commessa_Change() {
    if (moving_) return;
    const QString code = FilterBarcodeInput(txtFind_Commessa_->text());
    if (code.isEmpty()) return;
    moving_ = true;
    txtFind_Commessa_->setText(code);
    MoveScannedNumber(code);
    txtFind_Commessa_->clear();
    moving_ = false;
}

void frmSelectLavrix::listDoubleClicked(QListWidget* list) {
    QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) return;
    txtFind_Commessa_->setFocus();
    // As if the number had been scanned.
    txtFind_Commessa_->setText(item->text() + QLatin1Char('\r'));
}

void frmSelectLavrix::MoveScannedNumber(const QString& number) {
    int index = -1;
    if (FindInList(lstOpenSubLavrix_, number, index))
        MoveListItem(lstOpenSubLavrix_, index, lstSubLavrixToClose_);
    else if (FindInList(lstSubLavrixToClose_, number, index))
        MoveListItem(lstSubLavrixToClose_, index, lstOpenSubLavrix_);
    else
        Prompt::instance().msgBox(
            QStringLiteral("La commessa ") + number + QStringLiteral(" non si trova tra quelle attive!"),
            MsgBoxStyle::vbInformation, {}, this);
}

bool frmSelectLavrix::FindInList(QListWidget* list, const QString& number, int& index) {
    const QString wanted = number.trimmed();
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().trimmed() == wanted) {
            index = i;
            return true;
        }
    }
    return false;
}

void frmSelectLavrix::MoveListItem(QListWidget* from, int index, QListWidget* to) {
    to->addItem(from->item(index)->text());
    delete from->takeItem(index);
    from->clearSelection();
    to->clearSelection();
}

bool frmSelectLavrix::eventFilter(QObject* watched, QEvent* e) {
    if (watched == txtFind_Commessa_ && e->type() == QEvent::FocusIn) {
        txtFind_Commessa_->selectAll();
        return false;
    }
    if (e->type() != QEvent::KeyPress || !isVisible()) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Escape) {
        Unload();
        return true;
    }
    if (!isEnter(key)) return false;
    const QString text = txtFind_Commessa_->text();
    if (text.trimmed().isEmpty()) {
        cmdConferma_Click();
    } else {
        MoveScannedNumber(text);
        txtFind_Commessa_->clear();
    }
    return true;
}
