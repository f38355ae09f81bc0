// frmMagneticOptions: the card device's settings: its type, its serial port (and the device that
// port opens) and the port's line settings, stored in the "MagneticDevParam" settings.
#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmMagneticOptions : public QDialog {
    Q_OBJECT
  public:
    explicit frmMagneticOptions(QWidget* owner = nullptr);

    // Shows the window without making it modal; it deletes itself when closed.
    static frmMagneticOptions* ShowOver(QWidget* owner);

    QComboBox* cmbDevType() const { return cmbDevType_; }
    QComboBox* cboCOMPort() const { return cboCOMPort_; }
    QComboBox* txtCOMParam() const { return txtCOMParam_; }
    QLineEdit* txtCOMPortPath() const { return txtCOMPortPath_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void EnableControls();
    void cmdOK_Click();
    void cmdCancel_Click();
    void reject() override { close(); }

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void showPortDevice();

    QGroupBox* fraParams_ = nullptr;
    QComboBox* cmbDevType_ = nullptr;
    QComboBox* cboCOMPort_ = nullptr;
    QComboBox* txtCOMParam_ = nullptr;
    QLineEdit* txtCOMPortPath_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
