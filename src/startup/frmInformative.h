// frmInformative: the product's legal notice: no passing on of the software, the liability
// disclaimer and the privacy notice, with OK and Cancel for accepting it and a print command.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

class frmInformative : public QDialog {
    Q_OBJECT
  public:
    // The company the liability text names; a blank one becomes the default on load. Kept
    // from one showing to the next.
    static QString CompanyName;
    // False on load; True after OK, False after Cancel or Esc.
    static bool AcceptInformative;
    // The software maker, the company named when none is given.
    static QString DefaultCompanyName();

    // Loads the window (texts filled for the company); OK and Cancel are shown unless hidden.
    explicit frmInformative(QWidget* parent = nullptr, bool readOnly = false);
    // Shows the notice modally; `readOnly` hides OK and Cancel (read, print or close with Esc).
    static bool ShowModal(QWidget* owner, bool readOnly = false);

    void cmdOk_Click();
    void cmdCancel_Click();
    // Prints the window's image on the default printer after asking; reports a missing printer
    // and a printing error, and stays open.
    void cmdPrint_Click();

    QLabel* lblDescription() const { return lblDescription_; }
    QLabel* lblResponsability() const { return lblResponsability_; }
    QLabel* lblInformation1() const { return lblInformation1_; }
    QLabel* lblInformation2() const { return lblInformation2_; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdPrint() const { return cmdPrint_; }

  protected:
    void reject() override;  // Esc and the close button

  private:
    QLabel* lblDescription_ = nullptr;
    QLabel* lblResponsability_ = nullptr;
    QLabel* lblInformation1_ = nullptr;
    QLabel* lblInformation2_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
};
