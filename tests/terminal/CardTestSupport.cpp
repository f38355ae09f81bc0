// The card-device test support.
#include "CardTestSupport.h"

#include <QCoreApplication>

#include "platform/EventWait.h"
#include "startup/SharedState.h"
#include "terminal/carddevices/clsMagneticCardEvents.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/modMagneticDev.h"

void FakeCardDevice::NewSession(clsMagneticCardEvents* events) {
    calls << QStringLiteral("NewSession");
    events_ = events;
    if (failNewSession) throw AppError(vbObjectError + 2, ModelDescription(), QStringLiteral("Codice: 2"));
}

void FakeCardDevice::WriteData(const QString& id, const QString& data, bool crypt, int16_t syncTimeout) {
    calls << QStringLiteral("WriteData(%1,%2,%3,%4)").arg(id, data).arg(crypt).arg(syncTimeout);
}

void FakeCardDevice::ReadData(int16_t syncTimeout, bool crypt, QString*, QString*) {
    calls << QStringLiteral("ReadData(%1,%2)").arg(syncTimeout).arg(crypt);
}

void FakeCardDevice::SetParameters(const VariantList& p) {
    parameters = p;
}

void FakeCardDevice::completeRead(bool completed, const QString& id, const QString& data,
                                  const QString& status) {
    if (events_) events_->RaiseReadComplete(completed, id, data, status);
}

void FakeCardDevice::completeWrite(bool completed, const QString& status) {
    if (events_) events_->RaiseWriteComplete(completed, status);
}

void FakeCardDevice::loseDevice() {
    if (events_)
        events_->RaiseDeviceError(
            AppError(8010, QStringLiteral("Porta seriale"), QStringLiteral("Scollegato")));
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        EventWait wait;
        wait.Wait(std::chrono::milliseconds(5));
    }
    return true;
}

void PumpFor(std::chrono::milliseconds span) {
    EventWait wait;
    wait.Wait(span);
}

QByteArray Hex(const char* digits) {
    return QByteArray::fromHex(QByteArray(digits));
}

QString HexOf(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QStringList HexOf(const std::vector<QByteArray>& frames) {
    QStringList out;
    for (const QByteArray& f : frames)
        out << HexOf(f);
    return out;
}

AppError ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& e) {
        return e;
    }
    return AppError();
}

void CardDeviceTest::SetUp() {
    ModelDatabaseTest::SetUp();
    configure(0, 1);
    previousRunner_ = odb::SetModalRunner({});
}

void CardDeviceTest::TearDown() {
    if (frmMagneticDev::IsLoaded()) frmMagneticDev::Get()->Unload();
    CreateMagneticDevice(true);
    SetMagneticDeviceFactory({});
    odb::SetModalRunner(std::move(previousRunner_));
    ModelDatabaseTest::TearDown();
}

std::vector<RecordingPrompt::Shown> CardDeviceTest::messages() {
    std::vector<RecordingPrompt::Shown> boxes;
    for (const auto& s : prompt->shown())
        if (s.kind == RecordingPrompt::Kind::MsgBox) boxes.push_back(s);
    return boxes;
}

void CardDeviceTest::configure(int32_t type, int16_t port, const QString& settings, const QString& path) {
    g_intMagneticDevType = type;
    g_intCOMPortNumber = port;
    g_strCOMPortParam = settings;
    SaveConfiguredPortPath(path);
}

void CardDeviceTest::onModal(std::function<void(QDialog&)> script) {
    odb::SetModalRunner([script = std::move(script)](QDialog& dialog) {
        dialog.show();
        QCoreApplication::processEvents();
        script(dialog);
        return dialog.result();
    });
}

void CardDeviceTest::useFakeDevices() {
    SetMagneticDeviceFactory([this](int32_t) {
        auto device = std::make_shared<FakeCardDevice>();
        fakes.push_back(device);
        return device;
    });
}
