// frmSetOrderNumber: the two order numbers of the access print, one for office employees and one for
// everybody else, kept among the database parameters. Opened from the configuration menu and before
// every print of the accesses.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

class frmSetOrderNumber : public QDialog {
    Q_OBJECT
  public:
    explicit frmSetOrderNumber(QWidget* owner = nullptr);

    // Shows the dialog modally over `owner` and returns when it closes.
    static void ShowModal(QWidget* owner);

    QLineEdit* txtNumeroOrdineImpiegati() const { return txtNumeroOrdineImpiegati_; }
    QLineEdit* txtNumeroOrdineAltri() const { return txtNumeroOrdineAltri_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // Checks both numbers and stores them together; stays open on a refusal or a failed save.
    void cmdOK_Click();
    // Asks before leaving without saving.
    void cmdCancel_Click();
    // Esc and the close box leave as "Annulla" does.
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();

    QLineEdit* txtNumeroOrdineImpiegati_ = nullptr;
    QLineEdit* txtNumeroOrdineAltri_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
