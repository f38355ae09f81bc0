// frmMailAccount ("Account di posta"): this computer's mail account, kept in the settings store:
// the server that sends (SMTP) and the one whose inbox is listed (IMAP), their ports and
// security, the user, the password and the sender's address.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

class frmMailAccount : public QDialog {
    Q_OBJECT
  public:
    explicit frmMailAccount(QWidget* owner = nullptr);

    // Checks the ports and the sender, stores the account and closes; stays open on a refusal.
    void cmdOK_Click();

    QLineEdit* txtSmtpServer() const { return txtSmtpServer_; }
    QLineEdit* txtSmtpPort() const { return txtSmtpPort_; }
    QComboBox* cmbSmtpSecurity() const { return cmbSmtpSecurity_; }
    QLineEdit* txtImapServer() const { return txtImapServer_; }
    QLineEdit* txtImapPort() const { return txtImapPort_; }
    QComboBox* cmbImapSecurity() const { return cmbImapSecurity_; }
    QLineEdit* txtUser() const { return txtUser_; }
    QLineEdit* txtPassword() const { return txtPassword_; }
    QLineEdit* txtSender() const { return txtSender_; }
    QPushButton* cmdOK() const { return cmdOK_; }

  private:
    bool refuse(const QString& text, QWidget* focus);
    QLineEdit* txtSmtpServer_ = nullptr;
    QLineEdit* txtSmtpPort_ = nullptr;
    QComboBox* cmbSmtpSecurity_ = nullptr;
    QLineEdit* txtImapServer_ = nullptr;
    QLineEdit* txtImapPort_ = nullptr;
    QComboBox* cmbImapSecurity_ = nullptr;
    QLineEdit* txtUser_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QLineEdit* txtSender_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
