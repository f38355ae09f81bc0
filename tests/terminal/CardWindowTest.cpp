// The card window, the worker card writing and the device factory against an in-process device:
// what the window starts, how it handles completions, keyboard emulation, refusals and messages.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

#include "CardTestSupport.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"
#include "terminal/carddevices/WriteOperatorCard.h"
#include "terminal/carddevices/clsMSR106.h"
#include "terminal/carddevices/clsMSR206HL.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/modMagneticDev.h"

namespace {

using namespace MsgBoxStyle;

// Keys as a keyboard, or a keyboard-wedge reader, types them: to the focused control.
void type(const QString& text, QWidget* fallback) {
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
        const int key = c.isLetterOrNumber() ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &press);
    }
}

void pressEnter(QWidget* fallback) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &press);
}

class CardWindowTest : public CardDeviceTest {
  protected:
    frmMagneticDev* card() { return frmMagneticDev::Get(); }
    FakeCardDevice& device() { return *fakes.back(); }
};

TEST_F(CardWindowTest, KeyboardEmulationTakesTheTypedCode) {
    configure(kDevTypeKeyboard, 0);
    QString typed;
    onModal([&](QDialog& window) {
        EXPECT_TRUE(card()->txtKeyCode()->isVisible());
        // A wedge reader types while Cancel has the focus: the keys reach the code box.
        card()->cmdCancel()->setFocus();
        type(QStringLiteral(";OP0012?"), card()->cmdCancel());
        typed = card()->txtKeyCode()->text();
        pressEnter(card()->txtKeyCode());
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QStringLiteral("0012"));
    EXPECT_EQ(typed, QStringLiteral(";OP0012?"));
    EXPECT_TRUE(messages().empty());

    bool retried = false;
    onModal([&](QDialog& window) {
        type(QStringLiteral("XY0012"), card()->txtKeyCode());
        pressEnter(card()->txtKeyCode());
        retried = window.isVisible() && card()->lblTryAgain()->isVisible() &&
                  card()->txtKeyCode()->text().isEmpty();
        pressEnter(card()->txtKeyCode());  // Enter on the empty box closes the window
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QString());
    EXPECT_TRUE(retried);
    EXPECT_EQ(prompt->beeps(), 1);

    // A card stored reversed, typed by the reader as it is on the card; Enter from another control.
    onModal([&](QDialog&) {
        type(QStringLiteral(";2100PO?"), card()->txtKeyCode());
        card()->cmdCancel()->setFocus();
        pressEnter(card()->cmdCancel());
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP"), true), QStringLiteral("0012"));
    EXPECT_EQ(g_objMagneticDevice, nullptr);
}

TEST_F(CardWindowTest, ReadCodeGivesOnlyAValidatedCode) {
    configure(kDevTypeLowCoercivity, 1);
    useFakeDevices();
    // Cancel after a completion the timer has not handled yet: that code was never checked.
    onModal([&](QDialog&) {
        EXPECT_EQ(device().calls, QStringList({"NewSession", "ReadData(0,0)"}));
        EXPECT_FALSE(card()->txtKeyCode()->isVisible());
        device().completeRead(true, QStringLiteral("XY0012"));
        card()->cmdCancel()->click();
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QString());
    EXPECT_EQ(device().calls.last(), QStringLiteral("CancelSession"));
    EXPECT_EQ(g_objMagneticDevice, nullptr);

    // A card of another prefix and a failed read are both read again; a good card closes.
    QStringList afterRetries;
    onModal([&](QDialog& window) {
        card()->tmEvent()->stop();
        device().completeRead(true, QStringLiteral("XY0012"));
        card()->tmEvent_Timer();
        device().completeRead(false, QString(), QString(), QStringLiteral("1"));
        card()->tmEvent_Timer();
        card()->tmEvent_Timer();  // nothing new: nothing done
        afterRetries = device().calls;
        EXPECT_TRUE(card()->lblTryAgain()->isVisible());
        device().completeRead(true, QStringLiteral("op0012"), QStringLiteral("5"));
        card()->tmEvent_Timer();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QStringLiteral("0012"));
    EXPECT_EQ(afterRetries, QStringList({"NewSession", "ReadData(0,0)", "CancelSession", "ReadData(0,0)",
                                         "CancelSession", "ReadData(0,0)"}));
    EXPECT_EQ(prompt->beeps(), 2);

    // The device goes away: its error, and the window closes.
    onModal([&](QDialog& window) {
        device().loseDevice();
        card()->tmEvent_Timer();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QString());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages().back().text, QStringLiteral("Scollegato"));
    EXPECT_EQ(messages().back().icon(), vbCritical);
}

TEST_F(CardWindowTest, EachUseStartsAsANewWindowWithNothingOfThePreviousOne) {
    configure(kDevTypeLowCoercivity, 1);
    useFakeDevices();
    // A use as the job-order window makes it: no instruction, no Cancel. A good card completes,
    // then a retry blinks, and Cancel comes before the timer has seen the completion.
    QDialog* first = nullptr;
    onModal([&](QDialog& window) {
        first = &window;
        card()->tmEvent()->stop();
        device().completeRead(true, QStringLiteral("XY0012"));
        card()->tmEvent_Timer();
        EXPECT_TRUE(card()->lblTryAgain()->isVisible());
        device().completeRead(true, QStringLiteral("OP0099"));
        card()->Unload();
    });
    frmMagneticDev::Get()->Label2()->hide();
    frmMagneticDev::Get()->cmdCancel()->hide();
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QString());
    EXPECT_FALSE(frmMagneticDev::IsLoaded());

    // The next use: every control as new, and the completion left behind is not taken for its own.
    bool shownAsNew = false, stillOpen = false;
    onModal([&](QDialog& window) {
        EXPECT_EQ(&window, first);  // the window is the same, its state is not
        shownAsNew = card()->Label2()->isVisible() && card()->cmdCancel()->isVisible() &&
                     !card()->lblTryAgain()->isVisible() && !card()->txtKeyCode()->isVisible() &&
                     card()->lblMsg()->text() == QStringLiteral("Lettura del Codice dalla Carta...");
        card()->tmEvent()->stop();
        card()->tmEvent_Timer();
        stillOpen = window.isVisible();
        card()->cmdCancel()->click();
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr), QString());
    EXPECT_TRUE(shownAsNew);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(device().calls, QStringList({"NewSession", "ReadData(0,0)", "CancelSession"}));

    // Keyboard emulation after a device: the code box is shown empty, though the last use of it
    // left text behind; a device after keyboard emulation gets its completions again.
    configure(kDevTypeKeyboard, 0);
    onModal([&](QDialog&) {
        type(QStringLiteral("OP0012"), card()->txtKeyCode());
        card()->cmdCancel()->click();
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QString());
    EXPECT_EQ(frmMagneticDev::Get()->txtKeyCode()->text(), QString());  // before it is shown
    QString boxAtShow = QStringLiteral("not shown");
    onModal([&](QDialog&) {
        boxAtShow =
            card()->txtKeyCode()->isVisible() ? card()->txtKeyCode()->text() : QStringLiteral("hidden");
        type(QStringLiteral("OP0013"), card()->txtKeyCode());
        pressEnter(card()->txtKeyCode());
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QStringLiteral("0013"));
    EXPECT_EQ(boxAtShow, QString());
    configure(kDevTypeLowCoercivity, 1);
    onModal([&](QDialog&) {
        EXPECT_FALSE(card()->txtKeyCode()->isVisible());
        device().completeRead(true, QStringLiteral("OP0014"));
        card()->tmEvent_Timer();
    });
    EXPECT_EQ(frmMagneticDev::ReadCode(nullptr, QStringLiteral("OP")), QStringLiteral("0014"));
    EXPECT_TRUE(messages().empty());
}

TEST_F(CardWindowTest, ReadCodeWaitsInAModalLoopThatEachUnloadEnds) {
    configure(kDevTypeKeyboard, 0);
    QWidget owner;
    owner.show();
    // No runner: the window's own modal loop, ended by a typed code, then by Cancel, then by Esc.
    for (const char* how : {"code", "cancel", "escape"}) {
        SCOPED_TRACE(how);
        bool modal = false;
        QWidget* shown = nullptr;
        QTimer::singleShot(0, [&] {
            shown = card();
            modal = QApplication::activeModalWidget() == shown && shown->isVisible();
            if (QLatin1String(how) == QLatin1String("code")) {
                type(QStringLiteral("OP0012"), card()->txtKeyCode());
                pressEnter(card()->txtKeyCode());
            } else if (QLatin1String(how) == QLatin1String("cancel")) {
                card()->cmdCancel()->click();
            } else {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(card(), &esc);
            }
        });
        // A loop left running would never return: the window is hidden after a while regardless.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            ADD_FAILURE() << "the modal loop did not end";
            card()->hide();
        });
        guard.start(5000);
        const QString code = frmMagneticDev::ReadCode(&owner, QStringLiteral("OP"));
        EXPECT_TRUE(guard.isActive());
        EXPECT_EQ(code, QLatin1String(how) == QLatin1String("code") ? QStringLiteral("0012") : QString());
        EXPECT_TRUE(modal);
        EXPECT_FALSE(frmMagneticDev::IsLoaded());
        ASSERT_NE(shown, nullptr);
        EXPECT_FALSE(shown->isVisible());
    }
}

TEST_F(CardWindowTest, TheWindowFollowsItsOwnerAndTheFontSettings) {
    configure(kDevTypeKeyboard, 0);
    const auto readOver = [&](QWidget* owner, QWidget** shownOwner = nullptr, double* size = nullptr) {
        onModal([&](QDialog& window) {
            if (shownOwner) *shownOwner = window.parentWidget();
            if (size) *size = card()->txtKeyCode()->font().pointSizeF();
            type(QStringLiteral("0012"), card()->txtKeyCode());
            pressEnter(card()->txtKeyCode());
        });
        return frmMagneticDev::ReadCode(owner);
    };
    // Over one window, then over none, then over another that goes away with the card window.
    auto panel = std::make_unique<QWidget>();
    QWidget* owner = nullptr;
    EXPECT_EQ(readOver(panel.get(), &owner), QStringLiteral("0012"));
    EXPECT_EQ(owner, panel.get());
    EXPECT_EQ(readOver(nullptr, &owner), QStringLiteral("0012"));
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(readOver(panel.get(), &owner), QStringLiteral("0012"));
    panel.reset();
    EXPECT_EQ(readOver(nullptr, &owner), QStringLiteral("0012"));
    EXPECT_EQ(owner, nullptr);

    // A size increase is applied once to the window, however often it is used.
    const QString fontName = g_strFontName;
    const float increment = g_sngFontSizeIncrement;
    double plain = 0, larger = 0, again = 0, largest = 0;
    g_sngFontSizeIncrement = 0;
    readOver(nullptr, nullptr, &plain);
    g_sngFontSizeIncrement = 2;
    readOver(nullptr, nullptr, &larger);
    readOver(nullptr, nullptr, &again);
    g_sngFontSizeIncrement = 4;
    readOver(nullptr, nullptr, &largest);
    g_strFontName = fontName;
    g_sngFontSizeIncrement = increment;
    EXPECT_DOUBLE_EQ(larger, plain + 2);
    EXPECT_DOUBLE_EQ(again, plain + 2);
    EXPECT_DOUBLE_EQ(largest, plain + 4);
}

TEST_F(CardWindowTest, WriteCodeChecksTheUserAndTheDeviceFirst) {
    open();
    database->SetUserLevel(0);
    configure(kDevTypeLowCoercivity, 1);
    useFakeDevices();
    const struct {
        int32_t type;
        int16_t port;
        int32_t level;
        const char* code;
        const char* text;
        int icon;
    } refusals[] = {
        {kDevTypeLowCoercivity, 1, 0, "0012", "Utente non abilitato.", vbInformation},
        {kDevTypeKeyboard, 1, 1, "0012", "Il dispositivo configurato non supporta la scrittura delle carte.",
         vbInformation},
        {kDevTypeLowCoercivity, 0, 1, "0012",
         "Il dispositivo configurato non supporta la scrittura delle carte.", vbInformation},
        {kDevTypeLowCoercivity, 1, 1, "", "Nessun codice da scrivere nella carta.", vbExclamation},
    };
    for (const auto& r : refusals) {
        prompt->clear();
        configure(r.type, r.port);
        database->SetUserLevel(r.level);
        onModal([&](QDialog&) { ADD_FAILURE() << "the window opened: " << r.text; });
        EXPECT_FALSE(frmMagneticDev::WriteCode(nullptr, QString::fromLatin1(r.code), QStringLiteral("OP"), {},
                                               false, 1));
        ASSERT_EQ(messages().size(), 1u) << r.text;
        EXPECT_EQ(messages().back().text, QString::fromUtf8(r.text));
        EXPECT_EQ(messages().back().icon(), r.icon);
        EXPECT_FALSE(frmMagneticDev::IsLoaded());
    }
    EXPECT_EQ(fakes.size(), 1u);  // only the support check of the last refusal created a driver
    EXPECT_TRUE(fakes[0]->calls.isEmpty());

    // A failed write is written again, the same text each time, until one succeeds.
    prompt->clear();
    QStringList calls;
    onModal([&](QDialog& window) {
        card()->tmEvent()->stop();
        EXPECT_TRUE(card()->lblMsg()->text().endsWith(QStringLiteral("\n\nCODICE: < 0012 >")));
        device().completeWrite(false, QStringLiteral("1"));
        card()->tmEvent_Timer();
        device().completeWrite(true, QStringLiteral("0"));
        card()->tmEvent_Timer();
        calls = device().calls;
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(frmMagneticDev::WriteCode(nullptr, QStringLiteral("0012"), QStringLiteral("OP"),
                                          QStringLiteral("5"), true, 1));
    EXPECT_EQ(calls, QStringList({"NewSession", "WriteData(OP0012,5,1,0)", "CancelSession",
                                  "WriteData(OP0012,5,1,0)", "CancelSession"}));
    EXPECT_EQ(prompt->beeps(), 1);
    EXPECT_TRUE(messages().empty());

    // A device that cannot start: the heading, its error, and the window closes.
    SetMagneticDeviceFactory([this](int32_t) {
        auto d = std::make_shared<FakeCardDevice>();
        d->failNewSession = true;
        fakes.push_back(d);
        return d;
    });
    onModal([&](QDialog& window) { EXPECT_FALSE(window.isVisible()); });
    EXPECT_FALSE(frmMagneticDev::WriteCode(nullptr, QStringLiteral("0012"), QStringLiteral("OP")));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages().back().text,
              QStringLiteral("Inizializzazione gestore Carta fallito!\r\rErrore: Codice: 2"));
    EXPECT_EQ(messages().back().icon(), vbCritical);
}

TEST_F(CardWindowTest, WriteOperatorCardAsksThenWritesPrefixAndCode) {
    open();
    database->SetUserLevel(1);
    ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "0012", "Nominativo", "Rossi Mario"}));
    configure(kDevTypeLowCoercivity, 1);
    useFakeDevices();
    auto worker = rows("Operai", "Codice='0012'");

    prompt->answer(MsgResult::No);
    EXPECT_FALSE(WriteOperatorCard(*worker, nullptr, false));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(
        messages().back().text,
        QStringLiteral("Operaio:   Rossi Mario\rCodice:   0012\r\rQuesta operazione scrive il codice nella "
                       "carta...\r\rATTENZIONE: assicurarsi che la carta da impostare sia quella giusta "
                       "!\r\rContinuare ?"));
    EXPECT_EQ(messages().back().buttons(), vbYesNo);
    EXPECT_EQ(messages().back().icon(), vbQuestion);
    EXPECT_EQ(messages().back().defaultButton(), 2);
    EXPECT_TRUE(fakes.empty());

    // Without messages; and with no worker-card type the card holds the code alone.
    prompt->clear();
    const auto writes = [&] {
        onModal([&](QDialog&) {
            device().completeWrite(true);
            card()->tmEvent_Timer();
        });
    };
    writes();
    EXPECT_TRUE(WriteOperatorCard(*worker, nullptr, true));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(device().calls.mid(0, 2), QStringList({"NewSession", "WriteData(OP0012,,0,0)"}));
    // The type cannot be deleted through the program: a database of another installation lacks it.
    close();
    rawSql(QStringLiteral("DELETE FROM TipiCommessa WHERE Tipologia=9"));
    open();
    database->SetUserLevel(1);
    worker = rows("Operai", "Codice='0012'");
    writes();
    EXPECT_TRUE(WriteOperatorCard(*worker, nullptr, true));
    EXPECT_EQ(device().calls.mid(0, 2), QStringList({"NewSession", "WriteData(0012,,0,0)"}));

    // A worker without a code: refused before any device is touched.
    const size_t drivers = fakes.size();
    auto nobody = rows("Operai", "Codice=''");
    ASSERT_FALSE(nobody->DataEmpty());
    EXPECT_FALSE(WriteOperatorCard(*nobody, nullptr, false));
    EXPECT_EQ(
        messages().back().text,
        QStringLiteral("L'Operaio < <indefinito> > non ha un Codice: la carta non può essere scritta."));
    EXPECT_EQ(messages().back().icon(), vbExclamation);
    EXPECT_EQ(fakes.size(), drivers);
}

TEST_F(CardWindowTest, TheFactoryMakesOneDriverOfTheConfiguredType) {
    const struct {
        int32_t type;
        bool low;
    } serial[] = {
        {kDevTypeLowCoercivity, false}, {kDevTypeHighCoercivity, false}, {kDevTypeDualLowCoercivity, true}};
    for (const auto& c : serial) {
        configure(c.type, 2);
        EXPECT_TRUE(CreateMagneticDevice(false));
        auto* dual = dynamic_cast<clsMSR206HL*>(g_objMagneticDevice.get());
        EXPECT_EQ(dual == nullptr, c.type == kDevTypeLowCoercivity) << c.type;
        EXPECT_EQ(dual && dual->LowCoercivity(), c.low) << c.type;
        EXPECT_TRUE(DeviceSupportsWrite());  // asks the driver there is
    }
    EXPECT_TRUE(CreateMagneticDevice(true));
    EXPECT_EQ(g_objMagneticDevice, nullptr);
    EXPECT_TRUE(DeviceSupportsWrite());  // creates one to ask, and leaves none
    EXPECT_EQ(g_objMagneticDevice, nullptr);
    configure(kDevTypeLowCoercivity, 0);
    EXPECT_FALSE(DeviceSupportsWrite());

    for (int32_t type : {3, kDevTypeKeyboard, -1}) {
        configure(type, 1);
        EXPECT_EQ(CreateMagneticDevice(false), type == kDevTypeKeyboard) << type;
        EXPECT_EQ(g_objMagneticDevice, nullptr) << type;
        // No driver to ask: it cannot write, and none is left behind.
        EXPECT_FALSE(DeviceSupportsWrite()) << type;
        EXPECT_EQ(g_objMagneticDevice, nullptr) << type;
    }

    // The port number, the settings and, for the dual device, the coercivity are handed over.
    useFakeDevices();
    configure(kDevTypeDualLowCoercivity, 2, QStringLiteral("9600,e,7,1"));
    EXPECT_TRUE(CreateMagneticDevice(false));
    ASSERT_EQ(device().parameters.size(), 3u);
    EXPECT_EQ(device().parameters[0].toLong(), 2);
    EXPECT_EQ(device().parameters[1].toText(), QStringLiteral("9600,e,7,1"));
    EXPECT_TRUE(device().parameters[2].toBool());
    configure(kDevTypeLowCoercivity, 2);
    EXPECT_TRUE(CreateMagneticDevice(false));
    EXPECT_EQ(device().parameters.size(), 2u);
}

}  // namespace
