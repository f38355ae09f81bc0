// frmOptions: the options dialog: the work folder and this computer's settings, and the database
// repair. While it is loaded the main window is disabled and marked by its options flag.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class frmOptions : public QDialog {
    Q_OBJECT
  public:
    // Loading: the controls from the configuration, the main window disabled and marked.
    frmOptions();
    ~frmOptions() override;

    // Shows the dialog modally over the main window; True when closed with a confirmed OK.
    static bool ShowModal();
    // Shows the dialog owned by the main window, without waiting (the main window's command).
    static frmOptions* ShowModeless();
    // True only after OK saved the settings.
    bool Confirmed() const { return confirmed_; }

    void chkIsWorkStation_Click();
    void cmdSelWorkDir_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdRepairDB_Click();

    QLineEdit* txtWorkDir() const { return txtWorkDir_; }
    QPushButton* cmdSelWorkDir() const { return cmdSelWorkDir_; }
    QCheckBox* chkIsWorkStation() const { return chkIsWorkStation_; }
    QLineEdit* txtOperatore() const { return txtOperatore_; }
    QLineEdit* maskNumCommVisible() const { return maskNumCommVisible_; }
    QLineEdit* maskIntervalRefreshControlPanel() const { return maskIntervalRefreshControlPanel_; }
    QCheckBox* chkIsMailNotificationServer() const { return chkIsMailNotificationServer_; }
    QPushButton* cmdRepairDB() const { return cmdRepairDB_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void SetParamConfiguration();
    // A masked box whose text is not a number of its range: the message, and the focus back in it.
    bool CheckNumeric(QLineEdit* box);
    void placeOverOwner();
    void unload();

    bool confirmed_ = false;
    bool loaded_ = false;
    bool checking_ = false;

    QGroupBox* frmGeneralParameter_ = nullptr;
    QLineEdit* txtWorkDir_ = nullptr;
    QPushButton* cmdSelWorkDir_ = nullptr;
    QCheckBox* chkIsWorkStation_ = nullptr;
    QLineEdit* txtOperatore_ = nullptr;
    QLineEdit* maskNumCommVisible_ = nullptr;
    QLineEdit* maskIntervalRefreshControlPanel_ = nullptr;
    QCheckBox* chkIsMailNotificationServer_ = nullptr;
    QPushButton* cmdRepairDB_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
