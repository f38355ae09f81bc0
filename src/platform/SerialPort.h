// A serial port as the card devices use it: a port number (or a device path), a settings text,
// the modem lines, byte input and output, a notification when bytes arrive and one when the
// device goes away. Linux has no port numbers: port n is /dev/ttyS<n-1> unless a path is given.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>

#include "base/AppError.h"

class QSerialPort;

class SerialPort : public QObject {
    Q_OBJECT
  public:
    // Error numbers, as the system's serial control numbers them.
    static constexpr int32_t kErrInvalidPort = 8002;
    static constexpr int32_t kErrPortOpen = 8005;
    static constexpr int32_t kErrNotAvailable = 8010;
    static constexpr int32_t kErrSettings = 8015;
    static constexpr int32_t kErrNotOpen = 8018;
    static constexpr int32_t kErrWrite = 8020;

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // Port number; 0 or less is no port. The number cannot change while the port is open.
    void SetCommPort(int16_t port);
    int16_t CommPort() const { return commPort_; }
    // A device to open in place of the number's (a USB adapter, a pseudo-terminal); empty: the
    // number's own device.
    void SetDevicePath(const QString& path) { devicePath_ = path; }
    // The device the port opens.
    QString DevicePath() const;
    static QString DefaultDevicePath(int16_t port);

    // "9600,n,8,1": checked when the port opens (SerialSettings).
    void SetSettings(const QString& settings) { settings_ = settings; }
    const QString& Settings() const { return settings_; }
    // Modem lines set when the port opens; a device without them (a pseudo-terminal) is no error.
    void SetDTREnable(bool on) { dtr_ = on; }
    void SetRTSEnable(bool on) { rts_ = on; }

    // Opens the port (nothing when open); an invalid number, settings text or device raises.
    void Open();
    void Close();
    bool PortOpen() const;

    // Sends the bytes unchanged and waits until they have left; a closed port raises.
    void Write(const QByteArray& bytes);
    // The bytes received and not read yet, all of them.
    QByteArray ReadAll();
    int InBufferCount() const;
    // Drops everything received and not read yet, also what the system still holds.
    void ClearInput();

  signals:
    // Bytes arrived. Not sent again while a receiver of it is still running.
    void Received();
    // The device went away while open (unplugged, its other end closed): the port is closed.
    void DeviceLost(const AppError& error);

  private:
    void onError(int error);
    [[noreturn]] void raise(int32_t number, const QString& description) const;

    QSerialPort* port_;
    int16_t commPort_ = 0;
    QString devicePath_;
    QString openPath_;  // the device opened, for messages
    QString settings_ = QStringLiteral("9600,n,8,1");
    bool dtr_ = true;
    bool rts_ = false;
};
