// frmPassword: the password dialog. At start it asks for the installation password kept in the
// password file, and lets it be changed; the main window's login uses it with a password handed
// in (a user's own), to check it and to change it.
#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmPassword : public QDialog {
    Q_OBJECT
  public:
    frmPassword();

    // True when access is granted. Without `password` the stored one is the password file's (no
    // file, or an empty one, grants access with no dialog); with it, that password is asked for
    // and the file is never touched. `changeMode` asks for a new password at once; `noChange`
    // hides the change option.
    bool ValidatePassword(QWidget* owner, bool changeMode,
                          const std::optional<QString>& password = std::nullopt, bool noChange = false);
    // True when a new password was set in the dialog; Password() is then that password in clear.
    bool Changed() const { return changed_; }
    QString Password() const { return password_; }

    // The check of the installation password at start, with the splash as owner.
    static bool StartupCheck(QWidget* owner);

    void cmdConfirm_Click();
    void cmdCancel_Click();
    void chkNew_Click();

    QLineEdit* txtPassword() const { return txtPassword_; }
    QCheckBox* chkNew() const { return chkNew_; }
    QLineEdit* txtNewPwd() const { return txtNewPwd_; }
    QLineEdit* txtConfirmNewPwd() const { return txtConfirmNewPwd_; }
    QLabel* lblNew() const { return lblNew_; }
    QLabel* lblConfirmNewPwd() const { return lblConfirmNewPwd_; }
    QPushButton* cmdConfirm() const { return cmdConfirm_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void showNewRows(bool show);
    // Shows the failure, then ends the program: access is refused and every window unloads.
    void fail(const QString& description);

    QString stored_;    // the scrambled stored password
    QString password_;  // the stored password, or after a change the new one in clear
    bool validated_ = false;
    bool given_ = false;
    bool changed_ = false;

    QLineEdit* txtPassword_ = nullptr;
    QCheckBox* chkNew_ = nullptr;
    QLineEdit* txtNewPwd_ = nullptr;
    QLineEdit* txtConfirmNewPwd_ = nullptr;
    QLabel* lblNew_ = nullptr;
    QLabel* lblConfirmNewPwd_ = nullptr;
    QPushButton* cmdConfirm_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
