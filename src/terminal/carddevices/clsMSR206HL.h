// The high/low-coercivity reader/encoder in its raw mode: track 1 travels as packed 7-bit
// characters (Track1Codec). Each session selects the coercivity and 8 bits per character.
#pragma once

#include "terminal/carddevices/SerialCardDriver.h"
#include "terminal/carddevices/Track1Codec.h"

class clsMSR206HL : public SerialCardDriver {
    Q_OBJECT
  public:
    clsMSR206HL() = default;

    void NewSession(clsMagneticCardEvents* events = nullptr) override;
    void EndSession() override;
    QString ModelDescription() const override;
    // Port number, settings text and True for low coercivity: three elements.
    void SetParameters(const VariantList& parameters) override;
    bool LowCoercivity() const { return m_blnLowCoercivity; }

    static QByteArray AsciiToHexForTrack1(const QString& text,
                                          const QString& startSentinel = QStringLiteral("%"),
                                          const QString& endSentinel = QStringLiteral("?")) {
        return ::AsciiToHexForTrack1(text, startSentinel, endSentinel);
    }
    static QString HexToAsciiFromTrack1(const QByteArray& raw,
                                        const QString& startSentinel = QStringLiteral("%"),
                                        const QString& endSentinel = QStringLiteral("?")) {
        return ::HexToAsciiFromTrack1(raw, startSentinel, endSentinel);
    }

  protected:
    QByteArray ReadCommand() const override { return "m"; }
    QByteArray WriteCommand() const override { return "n"; }
    QByteArray WriteFrame(const QByteArray& command, const QString& text) const override;
    void ParseTrackData(const QByteArray& block, QString& id, QString& data, bool crypt) const override;

  private:
    bool m_blnLowCoercivity = false;
};
