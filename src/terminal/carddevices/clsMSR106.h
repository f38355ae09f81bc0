// The low-coercivity reader/encoder in its ISO mode: the card text travels as characters.
#pragma once

#include "terminal/carddevices/SerialCardDriver.h"

class clsMSR106 : public SerialCardDriver {
    Q_OBJECT
  public:
    clsMSR106() = default;

    void NewSession(clsMagneticCardEvents* events = nullptr) override;
    void EndSession() override;
    QString ModelDescription() const override;
    // Port number and settings text.
    void SetParameters(const VariantList& parameters) override;

  protected:
    QByteArray ReadCommand() const override { return "r"; }
    QByteArray WriteCommand() const override { return "w"; }
    QByteArray WriteFrame(const QByteArray& command, const QString& text) const override;
    void ParseTrackData(const QByteArray& block, QString& id, QString& data, bool crypt) const override;
};
