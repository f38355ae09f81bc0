// frmAccessTimeSettings: the working hours that the attendance rules use: the four normal times of
// the day, the morning break and the tolerated lateness. They are stored in the database for every
// station, with the length of the normal working day computed from them, and copied into this
// station's working hours.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

class frmAccessTimeSettings : public QDialog {
    Q_OBJECT
  public:
    explicit frmAccessTimeSettings(QWidget* owner = nullptr);

    // Shows the window without blocking over `owner`; it deletes itself when closed.
    static frmAccessTimeSettings* ShowOver(QWidget* owner);

    QLineEdit* txtOrarioIngressoMattutino() const { return times_[0]; }
    QLineEdit* txtOrarioUscitaMattutino() const { return times_[1]; }
    QLineEdit* txtOrarioIngressoPomeridiano() const { return times_[2]; }
    QLineEdit* txtOrarioUscitaPomeridiano() const { return times_[3]; }
    QLineEdit* txtMinRitardoAmmessi() const { return txtMinRitardoAmmessi_; }
    QLineEdit* txtMinPausaMattutina() const { return txtMinPausaMattutina_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // Fills the boxes from this station's working hours.
    void SetParamConfiguration();
    // Checks, stores, updates the station's copies and closes; stays open on a refusal.
    void cmdOK_Click();
    void cmdCancel_Click() { close(); }

  private:
    // The minutes of a minute box: true with `minutes` when it holds a whole number of at least 0;
    // otherwise its message and the focus.
    bool checkMinutes(QLineEdit* box, const QString& missing, const QString& invalid, int16_t& minutes);

    QLineEdit* times_[4] = {};
    QLineEdit* txtMinRitardoAmmessi_ = nullptr;
    QLineEdit* txtMinPausaMattutina_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
