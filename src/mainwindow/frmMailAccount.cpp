// The mail account window.
#include "mainwindow/frmMailAccount.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/MailAccount.h"
#include "platform/MailMessage.h"
#include "platform/Prompt.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using Security = MailAccount::Security;

QComboBox* securityBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItem(QStringLiteral("SSL/TLS"), static_cast<int>(Security::Tls));
    box->addItem(QStringLiteral("STARTTLS"), static_cast<int>(Security::StartTls));
    box->addItem(QStringLiteral("Nessuna (solo rete locale)"), static_cast<int>(Security::None));
    return box;
}

QLineEdit* portBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), box));
    box->setMaximumWidth(70);
    return box;
}

void select(QComboBox* box, Security security) {
    box->setCurrentIndex(box->findData(static_cast<int>(security)));
}

Security chosen(const QComboBox* box) {
    return static_cast<Security>(box->currentData().toInt());
}

}  // namespace

frmMailAccount::frmMailAccount(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmMailAccount"));
    setWindowTitle(QStringLiteral("Account di posta"));
    auto* sending = new QGroupBox(QStringLiteral("Invio (SMTP)"), this);
    auto* sendingForm = new QFormLayout(sending);
    txtSmtpServer_ = new QLineEdit(sending);
    txtSmtpPort_ = portBox(sending);
    cmbSmtpSecurity_ = securityBox(sending);
    sendingForm->addRow(QStringLiteral("Server:"), txtSmtpServer_);
    sendingForm->addRow(QStringLiteral("Porta:"), txtSmtpPort_);
    sendingForm->addRow(QStringLiteral("Sicurezza:"), cmbSmtpSecurity_);
    auto* reading = new QGroupBox(QStringLiteral("Posta in arrivo (IMAP)"), this);
    auto* readingForm = new QFormLayout(reading);
    txtImapServer_ = new QLineEdit(reading);
    txtImapServer_->setPlaceholderText(QStringLiteral("lo stesso dell'invio"));
    txtImapPort_ = portBox(reading);
    cmbImapSecurity_ = securityBox(reading);
    readingForm->addRow(QStringLiteral("Server:"), txtImapServer_);
    readingForm->addRow(QStringLiteral("Porta:"), txtImapPort_);
    readingForm->addRow(QStringLiteral("Sicurezza:"), cmbImapSecurity_);
    auto* login = new QGroupBox(QStringLiteral("Accesso"), this);
    auto* loginForm = new QFormLayout(login);
    txtUser_ = new QLineEdit(login);
    txtPassword_ = new QLineEdit(login);
    txtPassword_->setEchoMode(QLineEdit::Password);
    txtSender_ = new QLineEdit(login);
    loginForm->addRow(QStringLiteral("Utente:"), txtUser_);
    loginForm->addRow(QStringLiteral("Password:"), txtPassword_);
    loginForm->addRow(QStringLiteral("Indirizzo del mittente:"), txtSender_);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sending);
    layout->addWidget(reading);
    layout->addWidget(login);
    layout->addLayout(buttons);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    // Server names and addresses of some fifty characters shown whole, in the font just set.
    for (QLineEdit* box : {txtSmtpServer_, txtImapServer_, txtUser_, txtPassword_, txtSender_})
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 56);
    connect(cmdOK_, &QPushButton::clicked, this, &frmMailAccount::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

    const MailAccount a = MailAccount::Load();
    txtSmtpServer_->setText(a.smtpServer);
    txtSmtpPort_->setText(QString::number(a.smtpPort));
    select(cmbSmtpSecurity_, a.smtpSecurity);
    txtImapServer_->setText(a.imapServer);
    txtImapPort_->setText(QString::number(a.imapPort));
    select(cmbImapSecurity_, a.imapSecurity);
    txtUser_->setText(a.user);
    txtPassword_->setText(a.password);
    txtSender_->setText(a.sender);
}

bool frmMailAccount::refuse(const QString& text, QWidget* focus) {
    Prompt::instance().msgBox(text, MsgBoxStyle::vbCritical, QString(), this);
    focus->setFocus();
    return false;
}

void frmMailAccount::cmdOK_Click() {
    MailAccount a = MailAccount::Load();
    // A line break, even at an end that would be trimmed, is refused where it was typed.
    const std::pair<MailAccount::Field, QLineEdit*> boxes[] = {{&MailAccount::smtpServer, txtSmtpServer_},
                                                               {&MailAccount::imapServer, txtImapServer_},
                                                               {&MailAccount::user, txtUser_},
                                                               {&MailAccount::password, txtPassword_},
                                                               {&MailAccount::sender, txtSender_}};
    for (const auto& [field, box] : boxes)
        if (box->text().contains(QLatin1Char('\r')) || box->text().contains(QLatin1Char('\n'))) {
            refuse(QStringLiteral("Il campo \"") + MailAccount::FieldName(field) +
                       QStringLiteral("\" non può contenere ritorni a capo"),
                   box);
            return;
        }
    a.smtpServer = txtSmtpServer_->text().trimmed();
    a.imapServer = txtImapServer_->text().trimmed();
    bool ok = false;
    a.smtpPort = txtSmtpPort_->text().toInt(&ok);
    if (!ok || a.smtpPort < 1 || a.smtpPort > 65535) {
        refuse(QStringLiteral("Impostare una porta valida (da 1 a 65535)"), txtSmtpPort_);
        return;
    }
    a.imapPort = txtImapPort_->text().toInt(&ok);
    if (!ok || a.imapPort < 1 || a.imapPort > 65535) {
        refuse(QStringLiteral("Impostare una porta valida (da 1 a 65535)"), txtImapPort_);
        return;
    }
    a.smtpSecurity = chosen(cmbSmtpSecurity_);
    a.imapSecurity = chosen(cmbImapSecurity_);
    a.user = txtUser_->text().trimmed();
    a.password = txtPassword_->text();
    a.sender = txtSender_->text().trimmed();
    if (!a.smtpServer.isEmpty() && !IsValidMailAddress(a.sender)) {
        refuse(QStringLiteral("Impostare un indirizzo del mittente valido (nome@dominio)"), txtSender_);
        return;
    }
    a.Save();
    accept();
}
