// The serial framing, reply collection and waits of the card drivers.
#include "terminal/carddevices/SerialCardDriver.h"

#include <chrono>

#include "terminal/carddevices/CardTrackData.h"
#include "terminal/carddevices/clsMagneticCardEvents.h"
#include "terminal/carddevices/modMagneticDev.h"

using namespace std::chrono_literals;

namespace {

constexpr char kEsc = 0x1B;
constexpr auto kCommandPause = 200ms;  // after every command, with no event handled
constexpr auto kReplySilence = 200ms;  // a reply ends after this much silence
constexpr auto kReplyWait = 3s;        // waiting calls give up after this
// The longest reply read is a raw read of three full tracks (2 + 3 x 258 + 4 bytes): past this
// the device is not answering, it is talking nonsense.
constexpr qsizetype kMaxReply = 1024;

}  // namespace

SerialCardDriver::SerialCardDriver() {
    m_objComm.SetDTREnable(true);
    m_objComm.SetRTSEnable(false);
    m_silence.setSingleShot(true);
    m_silence.setTimerType(Qt::PreciseTimer);
    connect(&m_silence, &QTimer::timeout, this, &SerialCardDriver::onSilence);
    connect(&m_objComm, &SerialPort::Received, this, &SerialCardDriver::onReceived);
    connect(&m_objComm, &SerialPort::DeviceLost, this, &SerialCardDriver::onDeviceLost);
}

SerialCardDriver::~SerialCardDriver() {
    m_objComm.disconnect(this);
    m_objComm.Close();
}

void SerialCardDriver::ClosePort() {
    m_silence.stop();
    m_collecting = false;
    m_lngPendingOp = opNone;
    m_objComm.Close();
    m_lost = AppError(SerialPort::kErrNotOpen, ModelDescription(),
                      QStringLiteral("Il dispositivo è stato chiuso durante l'attesa"));
    m_wait.Wake();
}

void SerialCardDriver::StartSession(clsMagneticCardEvents* events) {
    m_objEvents = events;
    m_objComm.Open();
    m_lost.reset();
    flushInput();
    SendDeviceCommand("a");
}

void SerialCardDriver::CancelSession() {
    if (m_objComm.PortOpen()) SendDeviceCommand("a");
}

void SerialCardDriver::ReadData(int16_t syncTimeout, bool crypt, QString* id, QString* data) {
    flushInput();
    SendDeviceCommand(ReadCommand());
    WaitDeviceResponse(opRead, syncTimeout, crypt);
    if (syncTimeout == 0) return;
    if (!m_blnResultOK) RaiseDeviceError(1, QStringLiteral("Lettura non riuscita, codice ") + Status());
    if (id) *id = m_strID;
    if (data) *data = m_strData;
}

void SerialCardDriver::WriteData(const QString& id, const QString& data, bool crypt, int16_t syncTimeout) {
    // Without a text the frame would shrink to the bare command: the device would take it for
    // something else.
    if (id.isEmpty()) RaiseDeviceError(2, QStringLiteral("Nessun codice da scrivere nella carta"));
    flushInput();
    SendDeviceCommand(WriteCommand(), id, data, crypt);
    WaitDeviceResponse(opWrite, syncTimeout, true);
    if (syncTimeout != 0 && !m_blnResultOK)
        RaiseDeviceError(2, QStringLiteral("Scrittura non riuscita, codice ") + Status());
}

void SerialCardDriver::EraseCard(int16_t syncTimeout) {
    flushInput();
    SendDeviceCommand(QByteArray("c\0", 2));
    // Erasing always waits, whatever the caller asked.
    WaitDeviceResponse(opErase, 3000, true);
    if (syncTimeout != 0 && !m_blnResultOK)
        RaiseDeviceError(1, QStringLiteral("Inizializzazione carta non riuscita, codice ") + Status());
}

void SerialCardDriver::SendDeviceCommand(const QByteArray& command, const QString& id, const QString& data,
                                         bool crypt) {
    QByteArray bytes;
    if (id.isEmpty()) {
        bytes.append(kEsc).append(command);
    } else {
        const QString text = JoinTrackFields(id, data);
        bytes = WriteFrame(command, crypt ? ReverseText(text) : text);
    }
    m_objComm.Write(bytes);
    // The device needs the time to take the command; replies wait in the port's buffer.
    EventWait::Pause(kCommandPause);
}

void SerialCardDriver::WaitDeviceResponse(int op, int16_t timeout, bool crypt) {
    m_lngPendingOp = op;
    m_blnResultOK = false;
    m_strStatus.clear();
    m_blnCrypt = crypt;
    if (timeout == 0) {
        m_blnAsync = true;
        return;
    }
    m_blnAsync = false;
    const auto deadline = std::chrono::steady_clock::now() + kReplyWait;
    while (m_strStatus.isEmpty()) {
        if (m_lost) throw *m_lost;
        if (m_failed) {
            const AppError failed = *m_failed;
            m_failed.reset();
            throw failed;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) break;
        m_wait.Reset();
        m_wait.Wait(left + 1ms);
    }
    if (m_strStatus.isEmpty()) {
        m_lngPendingOp = opNone;
        RaiseDeviceError(op, QStringLiteral("Timeout, il dispositivo non ha risposto"));
    }
}

AppError SerialCardDriver::DeviceError(int code, const QString& message) const {
    QString description = QStringLiteral("Codice: %1").arg(code);
    if (!message.isEmpty()) description += QStringLiteral("\r\r") + message;
    return AppError(vbObjectError + code, ModelDescription(), description);
}

void SerialCardDriver::RaiseDeviceError(int code, const QString& message) const {
    throw DeviceError(code, message);
}

void SerialCardDriver::SetPortParameters(const Variant& port, const Variant& settings) {
    m_objComm.Close();
    const auto number = static_cast<int16_t>(port.toLong());
    m_objComm.SetCommPort(number);
    m_objComm.SetDevicePath(ConfiguredPortPath());
    m_objComm.SetSettings(settings.toText());
}

void SerialCardDriver::flushInput() {
    FlushCommInput(m_objComm);
    // A reply half collected belongs to what came before.
    m_silence.stop();
    m_collecting = false;
    m_reply.clear();
    m_failed.reset();
}

void SerialCardDriver::onReceived() {
    const QByteArray bytes = m_objComm.ReadAll();
    if (bytes.isEmpty()) return;
    if (!m_collecting) {
        // Every reply begins with ESC: anything else is line noise.
        if (bytes[0] != kEsc) {
            flushInput();
            return;
        }
        m_collecting = true;
        m_reply = bytes;
    } else {
        m_reply += bytes;
    }
    if (m_reply.size() > kMaxReply) {
        onOverflow();
        return;
    }
    m_silence.start(kReplySilence);
}

void SerialCardDriver::onOverflow() {
    flushInput();
    const int op = m_lngPendingOp;
    if (op == opNone) return;
    m_lngPendingOp = opNone;
    const AppError error = DeviceError(op, QStringLiteral("Risposta del dispositivo troppo lunga"));
    if (m_blnAsync) {
        if (m_objEvents) m_objEvents->RaiseDeviceError(error);
    } else {
        m_failed = error;
        m_wait.Wake();
    }
}

void SerialCardDriver::onSilence() {
    m_collecting = false;
    const QByteArray reply = std::move(m_reply);
    m_reply.clear();
    handleReply(reply);
}

void SerialCardDriver::handleReply(const QByteArray& reply) {
    const int op = m_lngPendingOp;
    // One reply per armed operation: what comes while nothing is armed (the answer to a failure
    // indication, a late or repeated reply) must not complete the next operation.
    if (op == opNone) return;
    m_lngPendingOp = opNone;

    const QByteArray block =
        reply.size() >= 6 && reply[1] == 's' ? reply.mid(2, reply.size() - 6) : QByteArray();
    const QByteArray status = op == opRead ? reply.right(1) : reply.mid(1, 1);
    m_strStatus = QString::fromLatin1(status);
    if (op == opRead) ParseTrackData(block, m_strID, m_strData, m_blnCrypt);
    m_blnResultOK = m_strStatus == QLatin1String("0");
    if (!m_blnResultOK && op != opCharacterWidth) {
        try {
            SendDeviceCommand("\x85");
        } catch (const AppError&) {
            // The port went away: the failure is reported all the same.
        }
    }
    if (m_objEvents && m_blnAsync) {
        if (op == opRead) m_objEvents->RaiseReadComplete(m_blnResultOK, m_strID, m_strData, m_strStatus);
        if (op == opWrite) m_objEvents->RaiseWriteComplete(m_blnResultOK, m_strStatus);
        if (op == opErase) m_objEvents->RaiseEraseComplete(m_blnResultOK, m_strStatus);
    }
    m_wait.Wake();
}

void SerialCardDriver::onDeviceLost(const AppError& error) {
    m_silence.stop();
    m_collecting = false;
    m_lngPendingOp = opNone;
    m_lost = error;
    m_wait.Wake();
    if (m_objEvents) m_objEvents->RaiseDeviceError(error);
}
