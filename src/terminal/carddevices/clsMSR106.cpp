// The low-coercivity reader/encoder.
#include "terminal/carddevices/clsMSR106.h"

#include "terminal/carddevices/CardTrackData.h"

void clsMSR106::NewSession(clsMagneticCardEvents* events) {
    StartSession(events);
}

void clsMSR106::EndSession() {
    SendDeviceCommand("a");
}

QString clsMSR106::ModelDescription() const {
    return QStringLiteral("MSR 106 Series (bassa coercività)");
}

void clsMSR106::SetParameters(const VariantList& parameters) {
    if (parameters.size() < 2) RaiseVbError(9);
    SetPortParameters(parameters[0], parameters[1]);
}

QByteArray clsMSR106::WriteFrame(const QByteArray& command, const QString& text) const {
    // Tracks 2 and 3 always get the single character "1".
    QByteArray frame("\x1B");
    frame.append(command).append("\x1Bs\x1B\x01").append(text.toLatin1());
    frame.append(
        "\x1B\x02"
        "1"
        "\x1B\x03"
        "1"
        "?\x1C");
    return frame;
}

void clsMSR106::ParseTrackData(const QByteArray& block, QString& id, QString& data, bool crypt) const {
    ParseIsoTrackData(block, id, data, crypt);
}
