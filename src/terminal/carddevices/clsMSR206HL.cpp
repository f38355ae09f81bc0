// The high/low-coercivity reader/encoder.
#include "terminal/carddevices/clsMSR206HL.h"

#include "terminal/carddevices/CardTrackData.h"

void clsMSR206HL::NewSession(clsMagneticCardEvents* events) {
    StartSession(events);
    if (m_blnLowCoercivity) {
        SendDeviceCommand("y");
        WaitDeviceResponse(opWrite, 3000, false);
        if (!ResultOK())
            RaiseDeviceError(
                2, QStringLiteral("Impostazione bassa coercività non riuscita, codice ") + Status());
    } else {
        SendDeviceCommand("x");
        WaitDeviceResponse(opWrite, 3000, false);
        if (!ResultOK())
            RaiseDeviceError(2,
                             QStringLiteral("Impostazione alta coercività non riuscita, codice ") + Status());
    }
    SendDeviceCommand(QByteArray("o\x08\x08\x08"));
    WaitDeviceResponse(opCharacterWidth, 3000, false);
    if (!ResultOK())
        RaiseDeviceError(2, QStringLiteral("Impostazione 8 bit traccia 1 non riuscita, codice ") + Status());
}

void clsMSR206HL::EndSession() {
    if (Comm().PortOpen()) SendDeviceCommand("a");
}

QString clsMSR206HL::ModelDescription() const {
    return QStringLiteral("MSR 206 HL Series (alta coercività)");
}

void clsMSR206HL::SetParameters(const VariantList& parameters) {
    if (parameters.size() != 3) RaiseVbError(9);
    SetPortParameters(parameters[0], parameters[1]);
    m_blnLowCoercivity = parameters[2].toBool();
}

QByteArray clsMSR206HL::WriteFrame(const QByteArray& command, const QString& text) const {
    const QByteArray block = AsciiToHexForTrack1(text);
    // One length byte: a longer track does not fit on the card.
    if (block.size() > 255) RaiseDeviceError(2, QStringLiteral("Testo troppo lungo per la carta"));
    QByteArray frame("\x1B");
    frame.append(command).append("\x1Bs\x1B\x01").append(static_cast<char>(block.size())).append(block);
    // Tracks 2 and 3 are written empty.
    frame.append(QByteArray("\x1B\x02\x00\x1B\x03\x00?\x1C", 8));
    return frame;
}

void clsMSR206HL::ParseTrackData(const QByteArray& block, QString& id, QString& data, bool crypt) const {
    ParseRawTrackData(block, id, data, crypt);
}
