// The card device of the run: the factory of its driver from the "MagneticDevParam" settings, and
// two small services. At most one driver (and one open port) exists, while a card window is open.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class SerialPort;
class itfMagneticCard;

// Device types of the "Type" setting.
inline constexpr int32_t kDevTypeLowCoercivity = 0;
inline constexpr int32_t kDevTypeHighCoercivity = 1;
inline constexpr int32_t kDevTypeDualLowCoercivity = 2;
inline constexpr int32_t kDevTypeKeyboard = 9999;

// The driver in use; empty when there is none (always with keyboard emulation).
extern std::shared_ptr<itfMagneticCard> g_objMagneticDevice;

// Releases the driver (closing its port); unless `release`, creates the one of the configured
// type and hands it the port settings. False for a type that has no driver.
bool CreateMagneticDevice(bool release);
// Drops the input pending on a port.
void FlushCommInput(SerialPort& comm);
// Whether the configured device can write cards: never without a port or without a driver to ask.
bool DeviceSupportsWrite();

// The per-user "COMPortPath" of "MagneticDevParam": a device every port number opens in place of
// its own (a USB adapter, a pseudo-terminal); empty when not set. Saving an empty path removes it.
QString ConfiguredPortPath();
void SaveConfiguredPortPath(const QString& path);

// Tests put an in-process driver in place of the serial ones; an empty function restores them.
using MagneticDeviceFactory = std::function<std::shared_ptr<itfMagneticCard>(int32_t type)>;
MagneticDeviceFactory SetMagneticDeviceFactory(MagneticDeviceFactory factory);
