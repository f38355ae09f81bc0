// The confirmation of a done action, with its question.
#include "terminal/frmRequestConfirmation.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/modZeltoFormUtility.h"

frmRequestConfirmation* frmRequestConfirmation::Get() {
    // Owned by the window it was last shown over: made again when that one went away.
    static QPointer<frmRequestConfirmation> window;
    if (!window) window = new frmRequestConfirmation;
    return window;
}

frmRequestConfirmation::frmRequestConfirmation() {
    setObjectName(QStringLiteral("frmRequestConfirmation"));
    setWindowTitle(QStringLiteral("Selezione..."));
    lblFieldName_ = new QLabel(QStringLiteral("Ok.  Operazione effettuata."), this);
    lblQuestion_ = new QLabel(QStringLiteral("Vuoi continuare con un'altra commessa?"), this);
    cmdContinued_ = new QPushButton(QStringLiteral("&0. SI"), this);
    cmdTerminate_ = new QPushButton(QStringLiteral("NO"), this);
    for (QLabel* label : {lblFieldName_, lblQuestion_}) {
        QFont big = label->font();
        big.setPointSizeF(big.pointSizeF() * 1.5);
        big.setBold(true);
        label->setFont(big);
        label->setAlignment(Qt::AlignCenter);
    }
    for (QPushButton* button : {cmdContinued_, cmdTerminate_}) {
        QFont big = button->font();
        big.setPointSizeF(big.pointSizeF() * 1.5);
        button->setFont(big);
        button->setMinimumSize(160, 56);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdContinued_);
    buttons->addSpacing(24);
    buttons->addWidget(cmdTerminate_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFieldName_);
    layout->addSpacing(12);
    layout->addWidget(lblQuestion_);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    connect(cmdContinued_, &QPushButton::clicked, this, &frmRequestConfirmation::cmdContinued_Click);
    connect(cmdTerminate_, &QPushButton::clicked, this, &frmRequestConfirmation::cmdTerminate_Click);
    // The window sees keys before its buttons.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmRequestConfirmation::ShowModal(QWidget* parent) {
    setParent(parent, Qt::Dialog);
    Form_Load();
    cmdContinued_->setFocus();
    odb::RunModal(*this);
    hide();
}

void frmRequestConfirmation::Form_Load() {
    if (m_strOperationType.trimmed().isEmpty()) m_strOperationType = QStringLiteral("continuare con");
    lblQuestion_->setText(QStringLiteral("Vuoi ") + m_strOperationType +
                          QStringLiteral(" un'altra commessa?"));
    Prompt::instance().beep();
    m_bTerminate = true;
}

void frmRequestConfirmation::cmdContinued_Click() {
    m_bTerminate = false;
    done(QDialog::Accepted);
}

void frmRequestConfirmation::cmdTerminate_Click() {
    m_bTerminate = true;
    done(QDialog::Rejected);
}

void frmRequestConfirmation::reject() {
    // Esc, or the window closed: the use of the action window ends.
    done(QDialog::Rejected);
}

bool frmRequestConfirmation::eventFilter(QObject*, QEvent* e) {
    if (e->type() != QEvent::KeyPress || !isVisible()) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (key->text() == QLatin1String("0")) {
        cmdContinued_->click();
        return true;
    }
    return false;
}
