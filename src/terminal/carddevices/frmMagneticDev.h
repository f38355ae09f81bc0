// frmMagneticDev: the modal window through which the system reads a card code or writes one. It
// drives the configured device asynchronously and handles its completions on a 500 ms timer; with
// keyboard emulation it takes the code typed, or sent as keystrokes by a keyboard-wedge reader.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <optional>

#include "base/AppError.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class clsMagneticCardEvents;

class frmMagneticDev : public QDialog {
    Q_OBJECT
  public:
    // The one window, built on first use and loaded again at each later one (its controls as new);
    // a caller may hide its Cancel button before a read.
    static frmMagneticDev* Get();
    // Between Get and the window's unload.
    static bool IsLoaded();

    // Reads a card and returns its code without the prefix, or "" when the user cancelled or the
    // device failed. Only a code that passed the prefix check is returned.
    static QString ReadCode(QWidget* parent, const QString& requiredCodePrefix = {}, bool crypt = false);
    // Writes prefix and code (and `points` as second field); True when the device confirmed it.
    static bool WriteCode(QWidget* parent, const QString& code, const QString& codePrefix = {},
                          const QString& points = {}, bool crypt = false, int32_t levelForWrite = 0);

    QLineEdit* txtKeyCode() const { return txtKeyCode_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QLabel* lblTryAgain() const { return lblTryAgain_; }
    QLabel* lblMsg() const { return lblMsg_; }
    // The instruction line; the job-order action window hides it.
    QLabel* Label2() const { return Label2_; }
    QTimer* tmEvent() const { return tmEvent_; }

    // Starts the armed operation; runs at every activation of the window.
    void Form_Activate();
    // Handles the last completion, outside the driver's receive handler.
    void tmEvent_Timer();
    // Closes the window: the device session is cancelled and the driver released.
    void Unload();

    void reject() override;

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    frmMagneticDev();
    ~frmMagneticDev() override;
    // Readies the built window for a use.
    void Load();
    // Shows the window over `parent` until it unloads.
    void runModal(QWidget* parent);

    void setMessage(QString text);
    bool ValidateReadCode();
    void blinkTryAgain();
    void readAgain();
    void writeCard();
    void keyCodeEntered();
    void OnReadComplete(bool completed, const QString& id, const QString& data);
    void OnWriteComplete(bool completed);
    void OnDeviceError(const AppError& error);

    QLabel* Image1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLabel* lblMsg_ = nullptr;
    QLabel* lblTryAgain_ = nullptr;
    QLineEdit* txtKeyCode_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QTimer* tmEvent_ = nullptr;
    QString tmEventTag_;  // the last completion received: "OnReadComplete", "OnWriteComplete" or ""

    QString m_strCode;
    QString m_strData;
    bool m_blnCompleted = false;
    int16_t m_intOperation = 0;  // to start at the next activation: 1 read, 2 write
    QString m_strPrefix;
    bool m_blnCrypt = false;
    QPointer<clsMagneticCardEvents> m_objMagneticEvents;

    QString fontName_;  // the font settings the window was built with
    float fontIncrement_ = 0;
    bool loaded_ = false;
    bool validated_ = false;  // m_strCode passed ValidateReadCode
    bool inTick_ = false;
    std::optional<AppError> deviceError_;  // the device went away; handled on the next tick
};
