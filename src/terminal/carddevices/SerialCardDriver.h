// What the two serial card drivers share: the port, the command framing with its fixed pause, the
// collection of a reply until the line is silent, the waits for a reply and the device errors.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>

#include "base/AppError.h"
#include "platform/EventWait.h"
#include "platform/SerialPort.h"
#include "terminal/carddevices/itfMagneticCard.h"

class clsMagneticCardEvents;

class SerialCardDriver : public QObject, public itfMagneticCard {
    Q_OBJECT
  public:
    ~SerialCardDriver() override;

    void CancelSession() override;
    void EraseCard(int16_t syncTimeout = 0) override;
    void WriteData(const QString& id, const QString& data = {}, bool crypt = false,
                   int16_t syncTimeout = 0) override;
    void ReadData(int16_t syncTimeout = 0, bool crypt = false, QString* id = nullptr,
                  QString* data = nullptr) override;
    bool SupportWrite() const override { return true; }

    // Closes the port at once and ends a wait in progress: the driver is being released.
    void ClosePort();
    SerialPort& Comm() { return m_objComm; }

  protected:
    SerialCardDriver();

    // Operations whose reply is awaited.
    enum PendingOp { opNone = 0, opRead = 1, opWrite = 2, opErase = 3, opCharacterWidth = 5 };

    // The first steps of every session: relay kept, port opened, input dropped, device reset.
    void StartSession(clsMagneticCardEvents* events);
    // ESC and the command; with an id, the write frame of the text instead. Then the fixed pause.
    void SendDeviceCommand(const QByteArray& command, const QString& id = {}, const QString& data = {},
                           bool crypt = false);
    // Arms the reply of `op`; with a timeout other than 0 waits for it (3 s at most).
    void WaitDeviceResponse(int op, int16_t timeout, bool crypt);
    [[noreturn]] void RaiseDeviceError(int code, const QString& message) const;
    AppError DeviceError(int code, const QString& message) const;
    // Port number and settings text; the port is closed first.
    void SetPortParameters(const Variant& port, const Variant& settings);
    // The status character of the last reply; True when it was "0".
    QString Status() const { return m_strStatus.right(1); }
    bool ResultOK() const { return m_blnResultOK; }

    virtual QByteArray ReadCommand() const = 0;
    virtual QByteArray WriteCommand() const = 0;
    // The whole write frame: ESC, the command, the track blocks with the text.
    virtual QByteArray WriteFrame(const QByteArray& command, const QString& text) const = 0;
    virtual void ParseTrackData(const QByteArray& block, QString& id, QString& data, bool crypt) const = 0;

  private:
    void onReceived();
    void onSilence();
    // A reply longer than any the device sends: dropped, and the operation fails.
    void onOverflow();
    void onDeviceLost(const AppError& error);
    void handleReply(const QByteArray& reply);
    void flushInput();

    SerialPort m_objComm;
    QPointer<clsMagneticCardEvents> m_objEvents;
    int m_lngPendingOp = opNone;
    bool m_blnResultOK = false;
    QString m_strStatus;
    QString m_strID, m_strData;
    bool m_blnAsync = false;
    bool m_blnCrypt = false;

    QByteArray m_reply;  // the reply being collected
    bool m_collecting = false;
    QTimer m_silence;  // a reply is complete after this much silence
    EventWait m_wait;
    std::optional<AppError> m_lost;    // why a wait can no longer be answered
    std::optional<AppError> m_failed;  // why the awaited reply will not come
};
