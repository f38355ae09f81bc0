// The card-device interface that the serial drivers implement. Operations that do not wait report
// their result through the completion relay given to NewSession.
#pragma once

#include <QString>

#include <cstdint>

#include "base/Variant.h"

class clsMagneticCardEvents;

class itfMagneticCard {
  public:
    virtual ~itfMagneticCard() = default;

    // Keeps the relay, opens the port if closed, drops pending input and resets the device.
    virtual void NewSession(clsMagneticCardEvents* events = nullptr) = 0;
    // Both reset the device; the port stays open.
    virtual void EndSession() = 0;
    virtual void CancelSession() = 0;
    // With a sync timeout of 0 these return at once and the result comes as an event; with any
    // other value they wait (3 s at most) and raise the device's failure.
    virtual void EraseCard(int16_t syncTimeout = 0) = 0;
    virtual void WriteData(const QString& id, const QString& data = {}, bool crypt = false,
                           int16_t syncTimeout = 0) = 0;
    virtual void ReadData(int16_t syncTimeout = 0, bool crypt = false, QString* id = nullptr,
                          QString* data = nullptr) = 0;
    virtual QString ModelDescription() const = 0;
    // Port number, settings text and, for the dual-coercivity device, True for low coercivity.
    virtual void SetParameters(const VariantList& parameters) = 0;
    virtual bool SupportWrite() const = 0;
};
