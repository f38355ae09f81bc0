// The serial port on QSerialPort.
#include "platform/SerialPort.h"

#include <QFileInfo>
#include <QSerialPort>

#include "base/AppError.h"
#include "platform/SerialSettings.h"

namespace {

const QString kSource = QStringLiteral("Porta seriale");

QSerialPort::Parity parityOf(SerialSettings::Parity p) {
    switch (p) {
        case SerialSettings::Parity::Even:
            return QSerialPort::EvenParity;
        case SerialSettings::Parity::Odd:
            return QSerialPort::OddParity;
        case SerialSettings::Parity::Mark:
            return QSerialPort::MarkParity;
        case SerialSettings::Parity::Space:
            return QSerialPort::SpaceParity;
        case SerialSettings::Parity::None:
            break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits stopBitsOf(SerialSettings::StopBits s) {
    switch (s) {
        case SerialSettings::StopBits::OneAndHalf:
            return QSerialPort::OneAndHalfStop;
        case SerialSettings::StopBits::Two:
            return QSerialPort::TwoStop;
        case SerialSettings::StopBits::One:
            break;
    }
    return QSerialPort::OneStop;
}

}  // namespace

SerialPort::SerialPort(QObject* parent) : QObject(parent), port_(new QSerialPort) {
    connect(port_, &QSerialPort::readyRead, this, &SerialPort::Received);
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) { onError(e); });
}

SerialPort::~SerialPort() {
    // The port may be destroyed from inside its own signal: close now, delete when it returns.
    port_->disconnect(this);
    port_->close();
    port_->deleteLater();
}

void SerialPort::SetCommPort(int16_t port) {
    if (PortOpen()) raise(kErrPortOpen, QStringLiteral("La porta è già aperta"));
    commPort_ = port;
}

QString SerialPort::DefaultDevicePath(int16_t port) {
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QString SerialPort::DevicePath() const {
    if (commPort_ < 1) return {};
    return devicePath_.isEmpty() ? DefaultDevicePath(commPort_) : devicePath_;
}

bool SerialPort::PortOpen() const {
    return port_->isOpen();
}

void SerialPort::Open() {
    if (PortOpen()) return;
    if (commPort_ < 1) raise(kErrInvalidPort, QStringLiteral("Nessuna porta seriale impostata"));
    const SerialSettings settings = SerialSettings::Parse(settings_);
    const QString path = DevicePath();
    // Checked first: the lock taken while opening would call a missing device "in use".
    if (!QFileInfo::exists(path))
        raise(kErrNotAvailable, QStringLiteral("La porta seriale \"%1\" non esiste").arg(path));
    port_->setPortName(path);
    if (!port_->open(QIODevice::ReadWrite)) {
        const auto error = port_->error();
        port_->clearError();
        if (error == QSerialPort::DeviceNotFoundError)
            raise(kErrNotAvailable, QStringLiteral("La porta seriale \"%1\" non esiste").arg(path));
        if (error == QSerialPort::PermissionError)
            raise(kErrPortOpen,
                  QStringLiteral("La porta seriale \"%1\" è già in uso o non è accessibile").arg(path));
        raise(kErrNotAvailable, QStringLiteral("La porta seriale \"%1\" non può essere aperta").arg(path));
    }
    const bool applied = port_->setBaudRate(settings.baudRate) &&
                         port_->setParity(parityOf(settings.parity)) &&
                         port_->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
                         port_->setStopBits(stopBitsOf(settings.stopBits)) &&
                         port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        port_->close();
        port_->clearError();
        raise(kErrSettings,
              QStringLiteral("La porta seriale \"%1\" non accetta i parametri \"%2\"").arg(path, settings_));
    }
    // A pseudo-terminal has no modem lines: their errors mean nothing here.
    openPath_ = path;
    port_->setDataTerminalReady(dtr_);
    port_->setRequestToSend(rts_);
    port_->clearError();
}

void SerialPort::Close() {
    if (port_->isOpen()) port_->close();
    port_->clearError();
}

void SerialPort::Write(const QByteArray& bytes) {
    if (!PortOpen()) raise(kErrNotOpen, QStringLiteral("Operazione possibile solo con la porta aperta"));
    if (port_->write(bytes) != bytes.size())
        raise(kErrWrite, QStringLiteral("Scrittura sulla porta non riuscita"));
    // QSerialPort writes from the event loop; the callers pause without one, so send now.
    port_->flush();
    while (port_->isOpen() && port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(3000))
            raise(kErrWrite, QStringLiteral("Scrittura sulla porta non riuscita"));
    }
    if (!PortOpen()) raise(kErrNotOpen, QStringLiteral("Operazione possibile solo con la porta aperta"));
}

QByteArray SerialPort::ReadAll() {
    return port_->isOpen() ? port_->readAll() : QByteArray();
}

int SerialPort::InBufferCount() const {
    return port_->isOpen() ? static_cast<int>(port_->bytesAvailable()) : 0;
}

void SerialPort::ClearInput() {
    if (!port_->isOpen()) return;
    port_->clear(QSerialPort::Input);
    port_->readAll();
}

void SerialPort::onError(int error) {
    // Reads that fail on an open port (the device is gone) fail again at every event: close.
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    if (!port_->isOpen()) return;
    port_->close();
    port_->clearError();
    emit DeviceLost(AppError(
        kErrNotAvailable, kSource,
        QStringLiteral(
            "Il dispositivo della porta seriale \"%1\" non risponde più: è stato scollegato o spento")
            .arg(openPath_)));
}

void SerialPort::raise(int32_t number, const QString& description) const {
    throw AppError(number, kSource, description);
}
