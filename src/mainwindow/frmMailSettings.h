// frmMailSettings ("Impostazioni servizio E-Mail"): the seven parameters of the closed-job-order
// mail, shared by every station through the database, and the way to this computer's mail
// account ("Account di posta...").
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmMailSettings : public QDialog {
    Q_OBJECT
  public:
    explicit frmMailSettings(QWidget* owner = nullptr);

    // Shows the window without blocking over `owner` (the one already open, when there is one).
    static frmMailSettings* ShowOver(QWidget* owner);

    void LoadMailSettings();
    // Checks the two numbers, stores the seven parameters and closes; stays open on a refusal.
    void cmdOK_Click();
    void cmdCancel_Click() { close(); }
    void cmdAccount_Click();

    QLineEdit* txtEMailObject() const { return txtEMailObject_; }
    QPlainTextEdit* txtEMailText() const { return txtEMailText_; }
    QCheckBox* chkUse_MailAdminNotification() const { return chkUse_MailAdminNotification_; }
    QLineEdit* txtAccountAdminName() const { return txtAccountAdminName_; }
    QLineEdit* txtMailAdminAddress() const { return txtMailAdminAddress_; }
    QLineEdit* maskIntervalSendMail() const { return maskIntervalSendMail_; }
    QLineEdit* maskMaxDayCheck() const { return maskMaxDayCheck_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdAccount() const { return cmdAccount_; }

  private:
    QLineEdit* txtEMailObject_ = nullptr;
    QPlainTextEdit* txtEMailText_ = nullptr;
    QCheckBox* chkUse_MailAdminNotification_ = nullptr;
    QLineEdit* txtAccountAdminName_ = nullptr;
    QLineEdit* txtMailAdminAddress_ = nullptr;
    QLineEdit* maskIntervalSendMail_ = nullptr;
    QLineEdit* maskMaxDayCheck_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdAccount_ = nullptr;
};
