// frmAbout: the About box: product, version and description, the legal notice, the maker's
// contacts and web address, and the system-information command.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    // Loads the window: version, title (kept from the first load on) and description.
    explicit frmAbout(QWidget* parent = nullptr);
    // Shows the About box modally over `owner`.
    static void ShowModal(QWidget* owner);

    // Starts the desktop's system-information program (hardinfo, gnome-system-monitor or ksysguard,
    // the first found on the path); with none, the user is told it is unavailable.
    void StartSysInfo();
    // Reads a string value of the system registry. There is no registry here: always False,
    // with an empty value.
    static bool GetKeyValue(int32_t keyRoot, const QString& keyName, const QString& subKeyRef,
                            QString& keyVal);

    void cmdInformativa_Click();
    void imgQuendral_Click();
    void lblWeb_Click();

    // The maker's web address and the contact lines of the logo's message.
    static QString MakerWebAddress();
    static QString MakerContacts();

    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* lblDescription() const { return lblDescription_; }
    QLabel* lblWeb() const { return lblWeb_; }
    QLabel* imgQuendral() const { return imgQuendral_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdSysInfo() const { return cmdSysInfo_; }
    QPushButton* cmdInformativa() const { return cmdInformativa_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static QString title_;  // empty until the first load fills it
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblEuroReady_ = nullptr;
    QLabel* imgEuro_ = nullptr;
    QLabel* imgQuendral_ = nullptr;
    QLabel* lblWeb_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
    QPushButton* cmdInformativa_ = nullptr;
};
