// What the card-device tests share: an in-process card device, a fixture that puts the card
// settings, the prompt service and the beep back after each test, event pumping, and a modal
// runner that drives a window instead of blocking in it.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>

#include "base/AppError.h"
#include "model/ModelDatabaseTest.h"
#include "odb/ui/ModalDialog.h"
#include "support/RecordingPrompt.h"
#include "terminal/carddevices/itfMagneticCard.h"

class clsMagneticCardEvents;

// Test messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// A card device that records the calls it gets and completes operations when a test says so.
class FakeCardDevice : public itfMagneticCard {
  public:
    void NewSession(clsMagneticCardEvents* events) override;
    void EndSession() override { calls << QStringLiteral("EndSession"); }
    void CancelSession() override { calls << QStringLiteral("CancelSession"); }
    void EraseCard(int16_t) override { calls << QStringLiteral("EraseCard"); }
    void WriteData(const QString& id, const QString& data, bool crypt, int16_t syncTimeout) override;
    void ReadData(int16_t syncTimeout, bool crypt, QString* id, QString* data) override;
    QString ModelDescription() const override { return QStringLiteral("Dispositivo di prova"); }
    void SetParameters(const VariantList& parameters) override;
    bool SupportWrite() const override { return supportWrite; }

    void completeRead(bool completed, const QString& id, const QString& data = {},
                      const QString& status = {});
    void completeWrite(bool completed, const QString& status = {});
    void loseDevice();

    QStringList calls;
    VariantList parameters;
    bool supportWrite = true;
    bool failNewSession = false;

  private:
    clsMagneticCardEvents* events_ = nullptr;
};

// Processes events until `done` holds or `limit` has passed; the result of `done`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));
// Processes events for a while (to see that nothing happens meanwhile).
void PumpFor(std::chrono::milliseconds span);
// Bytes from their hexadecimal digits, blanks allowed: Hex("1B 61"); and back: "1B 61".
QByteArray Hex(const char* digits);
QString HexOf(const QByteArray& bytes);
QStringList HexOf(const std::vector<QByteArray>& frames);
// The error an action raised; a default error when it raised none.
AppError ErrorOf(const std::function<void()>& action);

// A database can be opened with open() (tests of worker cards and access levels).
class CardDeviceTest : public ModelDatabaseTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The card settings of the run.
    void configure(int32_t type, int16_t port, const QString& settings = QStringLiteral("9600,n,8,1"),
                   const QString& path = {});
    // The window shown by ReadCode or WriteCode is handed to `script`, then closed if still open.
    void onModal(std::function<void(QDialog&)> script);
    // Every created driver is a FakeCardDevice, kept in `fakes`.
    void useFakeDevices();

    // The message boxes shown, beeps left out.
    std::vector<RecordingPrompt::Shown> messages();

    ScopedRecordingPrompt prompt;
    std::vector<std::shared_ptr<FakeCardDevice>> fakes;

  private:
    odb::ModalRunner previousRunner_;
};
