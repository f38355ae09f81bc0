// The card-device factory and services.
#include "terminal/carddevices/modMagneticDev.h"

#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "terminal/carddevices/SerialCardDriver.h"
#include "terminal/carddevices/clsMSR106.h"
#include "terminal/carddevices/clsMSR206HL.h"

std::shared_ptr<itfMagneticCard> g_objMagneticDevice;

namespace {

const QString kSection = QStringLiteral("MagneticDevParam");
const QString kPathKey = QStringLiteral("COMPortPath");

MagneticDeviceFactory& factory() {
    static MagneticDeviceFactory f;
    return f;
}

std::shared_ptr<itfMagneticCard> newDriver(int32_t type) {
    if (factory()) return factory()(type);
    if (type == kDevTypeLowCoercivity) return std::make_shared<clsMSR106>();
    return std::make_shared<clsMSR206HL>();
}

}  // namespace

bool CreateMagneticDevice(bool release) {
    if (auto* serial = dynamic_cast<SerialCardDriver*>(g_objMagneticDevice.get())) {
        // A caller still inside the driver keeps it alive: the port closes now all the same.
        serial->ClosePort();
    }
    g_objMagneticDevice.reset();
    if (release) return true;

    VariantList parameters{Variant(static_cast<int32_t>(g_intCOMPortNumber)), Variant(g_strCOMPortParam)};
    switch (g_intMagneticDevType) {
        case kDevTypeLowCoercivity:
            break;
        case kDevTypeHighCoercivity:
            parameters.push_back(Variant(false));
            break;
        case kDevTypeDualLowCoercivity:
            parameters.push_back(Variant(true));
            break;
        case kDevTypeKeyboard:
            return true;
        default:
            return false;
    }
    auto driver = newDriver(g_intMagneticDevType);
    driver->SetParameters(parameters);
    g_objMagneticDevice = std::move(driver);
    return true;
}

void FlushCommInput(SerialPort& comm) {
    comm.ClearInput();
}

bool DeviceSupportsWrite() {
    if (g_intCOMPortNumber < 1) return false;
    if (g_objMagneticDevice) return g_objMagneticDevice->SupportWrite();
    CreateMagneticDevice(false);
    // No driver to ask (keyboard emulation, an unknown type): it cannot write.
    const bool supports = g_objMagneticDevice && g_objMagneticDevice->SupportWrite();
    CreateMagneticDevice(true);
    return supports;
}

QString ConfiguredPortPath() {
    return GetSetting(kAppSettingsName, kSection, kPathKey).trimmed();
}

void SaveConfiguredPortPath(const QString& path) {
    if (path.trimmed().isEmpty()) {
        DeleteSetting(kAppSettingsName, kSection, kPathKey);
        return;
    }
    SaveSetting(kAppSettingsName, kSection, kPathKey, path.trimmed());
}

MagneticDeviceFactory SetMagneticDeviceFactory(MagneticDeviceFactory f) {
    MagneticDeviceFactory previous = std::move(factory());
    factory() = std::move(f);
    return previous;
}
