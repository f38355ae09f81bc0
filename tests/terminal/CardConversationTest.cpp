// The two serial drivers talking to the simulated reader/encoder through the card window: one test
// per conversation, with the frames the device received, the replies it gave and what the user saw.
#include <QLabel>
#include <QPushButton>

#include <optional>

#include <gtest/gtest.h>

#include "CardTestSupport.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "platform/SerialPort.h"
#include "support/CardReaderSimulator.h"
#include "terminal/carddevices/WriteOperatorCard.h"
#include "terminal/carddevices/clsMSR106.h"
#include "terminal/carddevices/clsMSR206HL.h"
#include "terminal/carddevices/clsMagneticCardEvents.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/modMagneticDev.h"

namespace {

using namespace std::chrono_literals;
using Model = CardReaderSimulator::Model;

const QString kStartFailed = QStringLiteral("Inizializzazione gestore Carta fallito!\r\rErrore: ");

// The replies the simulator sent, joined.
QByteArray replies(const CardReaderSimulator& sim) {
    QByteArray out;
    for (const auto& f : sim.frames())
        if (!f.fromHost) out += f.bytes;
    return out;
}

class CardConversationTest : public CardDeviceTest {
  protected:
    // The port the window used can be opened again as soon as the window is gone.
    void expectPortFree(const CardReaderSimulator& sim) {
        SerialPort port;
        port.SetCommPort(1);
        port.SetDevicePath(sim.path());
        EXPECT_NO_THROW(port.Open());
    }
    bool waitHostFrames(const CardReaderSimulator& sim, size_t count) {
        return PumpUntil([&] { return sim.hostFrames().size() >= count; });
    }
};

TEST_F(CardConversationTest, LowCoercivityReadsThroughNoiseAndASplitReplyThenWrites) {
    CardReaderSimulator sim(Model::Iso);
    configure(0, 1, QStringLiteral("9600,n,8,1"), sim.path());
    bool stillWaiting = false;
    onModal([&](QDialog& window) {
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        // Noise before a reply: the whole input is dropped, and with it the code it carries.
        sim.inject(QByteArray("X\x1Bs\x1B\x01%OP9999?\x1B\x02\x1B\x03?\x1C\x1B") + '0');
        PumpFor(800ms);
        stillWaiting = window.isVisible();
        sim.splitNextReply(6, 100ms);
        sim.swipe(QStringLiteral("OP0012"));
        ASSERT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QStringLiteral("0012"));
    EXPECT_TRUE(stillWaiting);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(prompt->beeps(), 0);
    const auto frames = sim.frames();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(HexOf(sim.hostFrames()).mid(0, 2), QStringList({"1B 61", "1B 72"}));
    // The device's time to take a command: 0.2 s, less what the simulator's thread may have been
    // late to see the first frame.
    EXPECT_GE(frames[1].at - frames[0].at, 150ms);
    EXPECT_TRUE(replies(sim).endsWith(Hex("1B 73 1B 01 25 4F 50 30 30 31 32 3F 1B 02 1B 03 3F 1C 1B 30")));
    expectPortFree(sim);

    sim.clearFrames();
    onModal([&](QDialog& window) {
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        sim.swipe(QString());
        ASSERT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
    });
    EXPECT_TRUE(frmMagneticDev::WriteCode(nullptr, QStringLiteral("0012"), QStringLiteral("OP")));
    EXPECT_EQ(HexOf(sim.hostFrames()).mid(0, 2),
              QStringList({"1B 61", "1B 77 1B 73 1B 01 4F 50 30 30 31 32 1B 02 31 1B 03 31 3F 1C"}));
    EXPECT_EQ(sim.cardText(), QStringLiteral("OP0012"));
    expectPortFree(sim);
}

TEST_F(CardConversationTest, AFailedReadIsReadAgain) {
    CardReaderSimulator sim(Model::Iso);
    configure(0, 1, QStringLiteral("9600,n,8,1"), sim.path());
    bool tryAgainShown = false;
    onModal([&](QDialog& window) {
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        sim.setNextStatus('1');
        sim.swipe(QStringLiteral("OP0012"));
        ASSERT_TRUE(waitHostFrames(sim, 5));
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        tryAgainShown = frmMagneticDev::Get()->lblTryAgain()->isVisible();
        sim.swipe(QStringLiteral("OP0012"));
        ASSERT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
    });
    // The caller hid Cancel: a read that fails must not leave the worker stuck.
    frmMagneticDev::Get()->cmdCancel()->hide();
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QStringLiteral("0012"));
    EXPECT_EQ(HexOf(sim.hostFrames()).mid(0, 5), QStringList({"1B 61", "1B 72", "1B 85", "1B 61", "1B 72"}));
    EXPECT_TRUE(tryAgainShown);
    EXPECT_EQ(prompt->beeps(), 1);
    expectPortFree(sim);
}

TEST_F(CardConversationTest, DualCoercivityWriteRetriesAndTheAnswerToTheFailureIndicationIsNoSuccess) {
    open();
    database->SetUserLevel(1);
    ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "0012", "Nominativo", "Rossi Mario"}));
    CardReaderSimulator sim(Model::Raw);
    sim.setFailureIndicationReply(Hex("1B 30"));
    configure(1, 1, QStringLiteral("9600,n,8,1"), sim.path());
    prompt->answer(MsgResult::Yes);
    bool closedEarly = false;
    int beepsAtRetry = -1;
    onModal([&](QDialog& window) {
        // The window's ticks are driven here, so that the device's every answer has come first.
        frmMagneticDev* card = frmMagneticDev::Get();
        card->tmEvent()->stop();
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        sim.setNextStatus('1');
        sim.swipe(QString());
        ASSERT_TRUE(waitHostFrames(sim, 5));
        // The device answers the failure indication with "0": that completes nothing.
        PumpFor(600ms);
        card->tmEvent_Timer();
        closedEarly = !window.isVisible();
        beepsAtRetry = prompt->beeps();
        ASSERT_TRUE(waitHostFrames(sim, 7));
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        sim.swipe(QString());
        PumpUntil([&] { return !sim.operationWaiting() && replies(sim).endsWith(Hex("1B 30")); });
        // The reply ends with the line's silence, however late this thread sees it: ticks until then.
        EXPECT_TRUE(PumpUntil([&] {
            card->tmEvent_Timer();
            return !window.isVisible();
        }));
    });
    auto worker = rows("Operai", "Codice='0012'");
    EXPECT_TRUE(WriteOperatorCard(*worker, nullptr, false));
    EXPECT_FALSE(closedEarly);
    EXPECT_EQ(beepsAtRetry, 1);
    const QString frame =
        QStringLiteral("1B 6E 1B 73 1B 01 08 C5 17 1C 02 89 4A 3F 46 1B 02 00 1B 03 00 3F 1C");
    EXPECT_EQ(HexOf(sim.hostFrames()).mid(0, 7),
              QStringList({"1B 61", "1B 78", "1B 6F 08 08 08", frame, "1B 85", "1B 61", frame}));
    EXPECT_EQ(HexOf(sim.cardRaw()), QStringLiteral("C5 17 1C 02 89 4A 3F 46"));
    EXPECT_EQ(clsMSR206HL::HexToAsciiFromTrack1(Hex("A3 E8 38 40 91 52 FC 62")), QStringLiteral("OP0012"));
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(
        messages()[1].text,
        QStringLiteral("OK\r\rLa carta 0012 dell'Operaio < Rossi Mario > è stata creata correttamente."));
    EXPECT_EQ(messages()[1].icon(), MsgBoxStyle::vbInformation);
    expectPortFree(sim);

    // A raw read: the length byte cuts the track, whatever bytes it holds.
    sim.clearFrames();
    onModal([&](QDialog& window) {
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        sim.swipeRawBytes(Hex("A3 15 2E 42 B5 1A 75 1B F1 28"));
        ASSERT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr), QStringLiteral("12345678"));
    EXPECT_EQ(HexOf(sim.hostFrames()).mid(0, 4), QStringList({"1B 61", "1B 78", "1B 6F 08 08 08", "1B 6D"}));
    expectPortFree(sim);
}

TEST_F(CardConversationTest, AStartThatFailsSaysWhyAndCloses) {
    const auto closesWith = [&](const QString& text) {
        prompt->clear();
        onModal([&](QDialog& window) { PumpUntil([&] { return !window.isVisible(); }); });
        EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QString());
        ASSERT_EQ(messages().size(), 1u) << text.toStdString();
        EXPECT_EQ(messages().back().text, kStartFailed + text);
        EXPECT_EQ(messages().back().icon(), MsgBoxStyle::vbCritical);
    };
    {
        // Low coercivity taken, 8 bits per character refused: no failure indication after that.
        CardReaderSimulator sim(Model::Raw);
        sim.setStatusFor('o', '1');
        configure(2, 1, QStringLiteral("9600,n,8,1"), sim.path());
        closesWith(QStringLiteral("Codice: 2\r\rImpostazione 8 bit traccia 1 non riuscita, codice 1"));
        EXPECT_EQ(HexOf(sim.hostFrames()), QStringList({"1B 61", "1B 79", "1B 6F 08 08 08", "1B 61"}));
        expectPortFree(sim);
    }
    {
        CardReaderSimulator sim(Model::Raw);
        sim.setSilent(true);
        configure(1, 1, QStringLiteral("9600,n,8,1"), sim.path());
        closesWith(QStringLiteral("Codice: 2\r\rTimeout, il dispositivo non ha risposto"));
        expectPortFree(sim);
    }
    {
        CardReaderSimulator sim(Model::Raw);
        sim.setStatusFor('x', '3');
        configure(1, 1, QStringLiteral("9600,n,8,1"), sim.path());
        closesWith(QStringLiteral("Codice: 2\r\rImpostazione alta coercività non riuscita, codice 3"));
        EXPECT_EQ(HexOf(sim.hostFrames()), QStringList({"1B 61", "1B 78", "1B 85", "1B 61"}));
    }
    configure(1, 1, QStringLiteral("9600,n,8,1"), path(QStringLiteral("no-port")));
    closesWith(QStringLiteral("La porta seriale \"%1\" non esiste").arg(path(QStringLiteral("no-port"))));
    CardReaderSimulator sim(Model::Raw);
    configure(0, 1, QStringLiteral("9600,x,8,1"), sim.path());
    closesWith(
        QStringLiteral("Parametri porta \"9600,x,8,1\" non validi: parità \"x\" (ammesse n, e, o, m, s)"));
    EXPECT_TRUE(sim.hostFrames().empty());
}

TEST_F(CardConversationTest, ADeviceGoneWhileTheWindowWaitsClosesIt) {
    const QString gone = QStringLiteral(
        "Il dispositivo della porta seriale \"%1\" non risponde più: è stato "
        "scollegato o spento");
    {
        CardReaderSimulator sim(Model::Iso);
        configure(0, 1, QStringLiteral("9600,n,8,1"), sim.path());
        onModal([&](QDialog& window) {
            ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
            sim.vanish();
            ASSERT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
        });
        EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QString());
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages().back().text, gone.arg(sim.path()));
        EXPECT_EQ(messages().back().icon(), MsgBoxStyle::vbCritical);
    }
    prompt->clear();
    CardReaderSimulator sim(Model::Raw);
    configure(1, 1, QStringLiteral("9600,n,8,1"), sim.path());
    onModal([&](QDialog& window) {
        ASSERT_TRUE(PumpUntil([&] { return sim.operationWaiting(); }));
        sim.vanish();
        ASSERT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
    });
    EXPECT_FALSE(frmMagneticDev::WriteCode(nullptr, QStringLiteral("0012"), QStringLiteral("OP")));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages().back().text, gone.arg(sim.path()));
}

TEST_F(CardConversationTest, WaitingCallsRaiseTheDeviceStatus) {
    CardReaderSimulator sim(Model::Iso);
    sim.setInstant(true);
    sim.swipe(QStringLiteral("AB 12"));
    SaveConfiguredPortPath(sim.path());
    clsMSR106 driver;
    driver.SetParameters({Variant(int32_t{1}), Variant("9600,n,8,1")});
    EXPECT_EQ(ErrorOf([&] { driver.EndSession(); }).number(), SerialPort::kErrNotOpen);
    driver.CancelSession();  // nothing to cancel on a closed port
    driver.NewSession();

    QString id, data;
    driver.ReadData(1, false, &id, &data);
    EXPECT_EQ(id + QLatin1Char('|') + data, QStringLiteral("AB|12"));
    sim.setNextStatus('1');
    const AppError read = ErrorOf([&] { driver.ReadData(1, false, &id, &data); });
    EXPECT_EQ(read.number(), -2147221503);
    EXPECT_EQ(read.source(), QStringLiteral("MSR 106 Series (bassa coercività)"));
    EXPECT_EQ(read.description(), QStringLiteral("Codice: 1\r\rLettura non riuscita, codice 1"));

    // No text, no frame: the bare command would mean something else to the device.
    sim.clearFrames();
    EXPECT_EQ(ErrorOf([&] { driver.WriteData(QString(), QStringLiteral("12"), false, 0); }).number(),
              vbObjectError + 2);
    EXPECT_TRUE(sim.hostFrames().empty());

    // Erasing waits even when asked not to, and then raises nothing.
    sim.setNextStatus('2');
    driver.EraseCard(0);
    EXPECT_EQ(HexOf(sim.hostFrames()), QStringList({"1B 63 00", "1B 85"}));
    sim.setNextStatus('2');
    EXPECT_EQ(ErrorOf([&] { driver.EraseCard(1); }).description(),
              QStringLiteral("Codice: 1\r\rInizializzazione carta non riuscita, codice 2"));
}

TEST_F(CardConversationTest, AnOperationCompletesOnceWhateverElseTheDeviceSends) {
    CardReaderSimulator sim(Model::Raw);
    sim.setInstant(true);
    sim.setFailureIndicationReply(Hex("1B 30"));
    SaveConfiguredPortPath(sim.path());
    clsMSR206HL driver;
    driver.SetParameters({Variant(int32_t{1}), Variant("9600,n,8,1"), Variant(true)});
    clsMagneticCardEvents events;
    QStringList heard;
    QObject::connect(&events, &clsMagneticCardEvents::OnWriteComplete,
                     [&](bool completed, const QString& status) {
                         heard << QStringLiteral("write %1 %2").arg(completed).arg(status);
                     });
    QObject::connect(&events, &clsMagneticCardEvents::OnReadComplete,
                     [&](bool completed, const QString& id, const QString&, const QString& status) {
                         heard << QStringLiteral("read %1 %2 %3").arg(completed).arg(id, status);
                     });
    driver.NewSession(&events);
    EXPECT_TRUE(heard.isEmpty());  // the session's own waits raise no events

    sim.setNextStatus('1');
    driver.WriteData(QStringLiteral("OP0012"), {}, false, 0);
    ASSERT_TRUE(PumpUntil([&] { return !heard.isEmpty(); }));
    PumpFor(600ms);            // the answer to the failure indication, and time to mistake it
    sim.inject(Hex("1B 30"));  // a reply nobody asked for
    PumpFor(600ms);
    EXPECT_EQ(heard, QStringList({"write 0 1"}));
    EXPECT_EQ(HexOf(sim.hostFrames()).mid(3),
              QStringList({"1B 6E 1B 73 1B 01 08 C5 17 1C 02 89 4A 3F 46 1B 02 00 1B 03 00 3F 1C", "1B 85"}));

    heard.clear();
    sim.swipe(QStringLiteral("OP0012"));
    driver.ReadData(0, false);
    ASSERT_TRUE(PumpUntil([&] { return !heard.isEmpty(); }));
    EXPECT_EQ(heard, QStringList({"read 1 OP0012 0"}));
}

TEST_F(CardConversationTest, ADeviceThatNeverStopsTalkingFailsTheOperationAsADeviceError) {
    CardReaderSimulator sim(Model::Iso);
    SaveConfiguredPortPath(sim.path());
    clsMSR106 driver;
    driver.SetParameters({Variant(int32_t{1}), Variant("9600,n,8,1")});
    clsMagneticCardEvents events;
    std::optional<AppError> heard;
    QObject::connect(&events, &clsMagneticCardEvents::OnDeviceError, [&](const AppError& e) { heard = e; });
    driver.NewSession(&events);
    const QString tooLong = QStringLiteral("Codice: 1\r\rRisposta del dispositivo troppo lunga");

    // A reply that never ends: every byte an ESC, so that no piece of it passes for noise.
    sim.flood(QByteArray(4096, '\x1B'));
    const auto start = std::chrono::steady_clock::now();
    const AppError waited = ErrorOf([&] { driver.ReadData(1, false); });
    EXPECT_EQ(waited.number(), vbObjectError + 1);
    EXPECT_EQ(waited.description(), tooLong);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "not the time-out of a silent device";

    driver.ReadData(0, false);
    ASSERT_TRUE(PumpUntil([&] { return heard.has_value(); }));
    EXPECT_EQ(heard->description(), tooLong);

    // Once the device is quiet again, it reads.
    sim.flood({});
    PumpFor(400ms);
    sim.setInstant(true);
    sim.swipe(QStringLiteral("AB 12"));
    QString id, data;
    driver.ReadData(1, false, &id, &data);
    EXPECT_EQ(id + QLatin1Char('|') + data, QStringLiteral("AB|12"));
}

}  // namespace
