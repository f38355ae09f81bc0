// The password dialog.
#include "startup/frmPassword.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "base/AppError.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/EndProgram.h"
#include "startup/PasswordFile.h"
#include "startup/ScrambleString.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"

namespace {

QLineEdit* passwordBox(QWidget* parent, const QString& tip) {
    auto* box = new QLineEdit(parent);
    box->setEchoMode(QLineEdit::Password);
    box->setToolTip(tip);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(box->font().pointSizeF());
    box->setFont(font);
    return box;
}

}  // namespace

frmPassword::frmPassword() : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(kAppSettingsName);
    setModal(true);

    txtPassword_ = passwordBox(this, QStringLiteral("Immetti la password di accesso"));
    auto* lblPassword = new QLabel(QStringLiteral("&Password:"), this);
    lblPassword->setBuddy(txtPassword_);
    chkNew_ = new QCheckBox(QStringLiteral("C&ambia"), this);
    chkNew_->setToolTip(QStringLiteral("Attiva la possibilita' di cambiare la password"));
    txtNewPwd_ = passwordBox(this, QStringLiteral("Specifica la nuova password"));
    lblNew_ = new QLabel(QStringLiteral("&Nuova:"), this);
    lblNew_->setBuddy(txtNewPwd_);
    txtConfirmNewPwd_ = passwordBox(this, QStringLiteral("Conferma la nuova password"));
    lblConfirmNewPwd_ = new QLabel(QStringLiteral("Conferma:"), this);
    lblConfirmNewPwd_->setBuddy(txtConfirmNewPwd_);
    cmdConfirm_ = new QPushButton(QStringLiteral("OK"), this);
    cmdConfirm_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(lblPassword, 0, 0);
    grid->addWidget(txtPassword_, 0, 1);
    grid->addWidget(cmdConfirm_, 0, 2);
    grid->addWidget(chkNew_, 1, 1);
    grid->addWidget(cmdCancel_, 1, 2);
    grid->addWidget(lblNew_, 2, 0);
    grid->addWidget(txtNewPwd_, 2, 1);
    grid->addWidget(lblConfirmNewPwd_, 3, 0);
    grid->addWidget(txtConfirmNewPwd_, 3, 1);
    txtPassword_->setMinimumWidth(txtPassword_->fontMetrics().averageCharWidth() * 24);

    connect(cmdConfirm_, &QPushButton::clicked, this, &frmPassword::cmdConfirm_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmPassword::cmdCancel_Click);
    connect(chkNew_, &QCheckBox::clicked, this, &frmPassword::chkNew_Click);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    showNewRows(false);
}

bool frmPassword::StartupCheck(QWidget* owner) {
    frmPassword dialog;
    return dialog.ValidatePassword(owner, false, std::nullopt, false);
}

bool frmPassword::ValidatePassword(QWidget* owner, bool changeMode, const std::optional<QString>& password,
                                   bool noChange) {
    validated_ = given_ = changed_ = false;
    if (!password) {
        try {
            stored_ = ReadPasswordFile();
        } catch (const AppError& e) {
            // A file that cannot be read never opens the program as if there were no password.
            fail(e.description());
            return false;
        }
        validated_ = stored_.isEmpty();
    } else {
        stored_ = ScrambleString(*password, false);
        given_ = true;
    }
    password_ = stored_;

    const bool change = changeMode && !noChange;
    chkNew_->setChecked(change);
    chkNew_->setEnabled(!change);
    chkNew_->setVisible(change || !noChange);
    txtPassword_->setText(change ? ScrambleString(stored_, true) : QString());
    txtPassword_->setEnabled(!change);
    txtNewPwd_->clear();
    txtConfirmNewPwd_->clear();
    showNewRows(change);

    if (stored_.isEmpty() && !changeMode && !given_) return validated_;
    if (owner) {
        adjustSize();
        move(owner->geometry().center() - rect().center());
    }
    odb::RunModal(*this);
    return validated_;
}

void frmPassword::showNewRows(bool show) {
    for (QWidget* w : {static_cast<QWidget*>(txtNewPwd_), static_cast<QWidget*>(txtConfirmNewPwd_),
                       static_cast<QWidget*>(lblNew_), static_cast<QWidget*>(lblConfirmNewPwd_)}) {
        w->setEnabled(show);
        w->setVisible(show);
    }
    adjustSize();
}

void frmPassword::chkNew_Click() {
    showNewRows(chkNew_->isChecked());
}

void frmPassword::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (txtPassword_->isEnabled())
        txtPassword_->setFocus();
    else if (!txtNewPwd_->isHidden())
        txtNewPwd_->setFocus();
}

void frmPassword::cmdConfirm_Click() {
    using namespace MsgBoxStyle;
    try {
        if (ScrambleString(txtPassword_->text(), false) != stored_) {
            Prompt::instance().beep();
            Prompt::instance().msgBox(
                QStringLiteral("La password non è corretta.\r\r"
                               "Fare attenzione all'utilizzo delle maiuscole/minuscole"),
                vbInformation, g_strMsgBoxTitle, this);
            txtPassword_->setFocus();
            return;
        }
        if (chkNew_->isChecked()) {
            const QString newPassword = txtNewPwd_->text();
            if (newPassword != txtConfirmNewPwd_->text()) {
                Prompt::instance().beep();
                Prompt::instance().msgBox(QStringLiteral("La password di conferma non corrisponde..."),
                                          vbExclamation, g_strMsgBoxTitle, this);
                txtConfirmNewPwd_->setFocus();
                return;
            }
            password_ = newPassword;
            changed_ = true;
            if (!given_) WritePasswordFile(ScrambleString(newPassword, false));
            Prompt::instance().beep();
            QString text = QStringLiteral("La password e' stata modificata.");
            if (newPassword.isEmpty())
                text += QStringLiteral(
                    "\r\rNOTA: Senza password sono disattivate tutte le restrizioni di accesso.");
            Prompt::instance().msgBox(text, vbInformation, g_strMsgBoxTitle, this);
        }
        validated_ = true;
        accept();
    } catch (const AppError& e) {
        fail(e.description());
    }
}

void frmPassword::fail(const QString& description) {
    Prompt::instance().msgBox(QStringLiteral("Errore in validazione / modifica Password \r") + description +
                                  QStringLiteral("\r\rControllare la rete e i diritti di accesso..."),
                              MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle, this);
    validated_ = false;
    done(QDialog::Rejected);
    EndProgram();
}

void frmPassword::cmdCancel_Click() {
    validated_ = false;
    done(QDialog::Rejected);
}

void frmPassword::reject() {
    cmdCancel_Click();
}
