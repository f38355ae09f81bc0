// The per-user configuration, the single-instance rule, the splash and the start-up road.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "StartupFixture.h"
#include "odb/DbmsGlobal.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "startup/Configuration.h"
#include "startup/SharedState.h"
#include "startup/SingleInstance.h"
#include "startup/StartupMain.h"
#include "startup/StartupPassword.h"
#include "startup/frmSplash.h"
#include "support/RecordingPrompt.h"

namespace {

const QString kApp = QStringLiteral("Zelto Lavrix");

using ConfigurationTest = StartupTest;

TEST_F(ConfigurationTest, WhatIsSavedIsReadBack) {
    g_strRootDir = "/srv/lavoro/";
    g_blnIsWorkStation = true;
    g_strCommandPanelUserName = "Banco";
    g_intNumCommVisible = 12;
    g_lngIntervalTimerControlPanel = 30000;
    g_blnIsMailNotificationServer = true;
    g_intMagneticDevType = 9999;
    g_intCOMPortNumber = 3;
    g_strCOMPortParam = "4800,n,8,2";
    SaveConfiguration();
    SaveMagneticDevParams();
    EXPECT_EQ(odb::DbmsGlobal::DocumentFolder("ZeltoLavrix"), "/srv/lavoro/Docs");
    g_strRootDir.clear();
    g_blnIsWorkStation = g_blnIsMailNotificationServer = false;
    g_strCommandPanelUserName = g_strCOMPortParam = "";
    g_intNumCommVisible = g_intMagneticDevType = g_intCOMPortNumber = 0;
    g_lngIntervalTimerControlPanel = 0;
    ReadConfiguration();
    EXPECT_EQ(g_strRootDir, "/srv/lavoro/");
    EXPECT_TRUE(g_blnIsWorkStation);
    EXPECT_EQ(g_strCommandPanelUserName, "Banco");
    EXPECT_EQ(g_intNumCommVisible, 12);
    EXPECT_EQ(g_lngIntervalTimerControlPanel, 30000);
    EXPECT_TRUE(g_blnIsMailNotificationServer);
    EXPECT_EQ(g_intMagneticDevType, 9999);
    EXPECT_EQ(g_intCOMPortNumber, 3);
    EXPECT_EQ(g_strCOMPortParam, "4800,n,8,2");
    // Only FALSE, FALSO, NO and 0 are False.
    for (const char* text : {" falso ", "no", "0"}) {
        SaveSetting(kApp, "Configuration", "IsWorkStation", text);
        ReadConfiguration();
        EXPECT_FALSE(g_blnIsWorkStation) << text;
    }
    SaveSetting(kApp, "Configuration", "IsWorkStation", "Off");
    ReadConfiguration();
    EXPECT_TRUE(g_blnIsWorkStation);
}

TEST_F(ConfigurationTest, CardDeviceNumbersAreTheLeadingNumberOfTheText) {
    struct Case {
        const char* text;
        int value;
    };
    const Case types[] = {{"2abc", 2}, {"abc", 0}, {"", 0},    {" 9999", 9999},
                          {"1.5", 2},  {"2.5", 2}, {"-1x", -1}};
    for (const auto& c : types) {
        SaveSetting(kApp, "MagneticDevParam", "Type", c.text);
        SaveSetting(kApp, "MagneticDevParam", "COMPortNumber", c.text);
        LoadMagneticDevParams();
        EXPECT_EQ(g_intMagneticDevType, c.value) << c.text;
        EXPECT_EQ(g_intCOMPortNumber, c.value) << c.text;
    }
}

TEST_F(ConfigurationTest, NumbersThatAreNoNumbersKeepTheDefaults) {
    SaveSetting(kApp, "Configuration", "NumCommVisible", "molti");
    SaveSetting(kApp, "Configuration", "IntervalTimerControlPanel", "");
    ReadConfiguration();
    EXPECT_EQ(g_intNumCommVisible, 50);
    EXPECT_EQ(g_lngIntervalTimerControlPanel, 1);  // minutes: the panel refreshes every minute
    SaveSetting(kApp, "Configuration", "NumCommVisible", "99999");  // beyond a 16-bit count
    ReadConfiguration();
    EXPECT_EQ(g_intNumCommVisible, 50);
}

using SingleInstanceTest = StartupTest;

TEST_F(SingleInstanceTest, ASecondHolderIsRefusedUntilTheFirstEnds) {
    const QString lock = path("istanza.lock");
    auto first = std::make_unique<SingleInstance>(lock);
    EXPECT_TRUE(first->acquire());
    SingleInstance second(lock);
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
}

TEST_F(SingleInstanceTest, ALockLeftByAProcessThatIsGoneDoesNotBlock) {
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const QString lock = path("istanza.lock");
    QByteArray contents;
    {
        SingleInstance earlier(lock);
        ASSERT_TRUE(earlier.acquire());
        QFile f(lock);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        contents = f.readAll();
    }
    // The lock as a crashed copy leaves it: this host, a process that is gone.
    QList<QByteArray> lines = contents.split('\n');
    lines[0] = QByteArray::number(deadPid);
    QFile f(lock);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(lines.join('\n'));
    f.close();
    SingleInstance next(lock);
    EXPECT_TRUE(next.acquire());
}

using MainTest = StartupTest;

TEST_F(MainTest, ASecondInstanceShowsItsMessageAndTouchesNothing) {
    ScopedRecordingPrompt prompt;
    const QString lock = path("istanza.lock");
    SingleInstance running(lock);
    ASSERT_TRUE(running.acquire());
    SingleInstance second(lock);
    bool loaded = false;
    QWidget* shown = Main(second, [&]() -> QWidget* {
        loaded = true;
        return nullptr;
    });
    EXPECT_EQ(shown, nullptr);
    EXPECT_FALSE(loaded);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(
        prompt->last().text,
        "L'applicazione e' stata gia' avviata\r\rControlla la barra dei menu' per la riattivazione premendo "
        "doppio click sull'icona corrispondente...");
    EXPECT_TRUE(g_strRootDir.isEmpty());  // the configuration was not read
    EXPECT_TRUE(QDir(path("settings")).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(databasePath()));
}

TEST_F(MainTest, ASecondStartBringsTheRunningWindowForwardBesidesItsMessage) {
    ScopedRecordingPrompt prompt;
    SingleInstance running(path("istanza.lock"));
    QWidget window;
    ASSERT_EQ(Main(running, [&]() -> QWidget* { return &window; }), &window);
    for (int start = 1; start <= 2; ++start) {
        SingleInstance second(path("istanza.lock"));
        EXPECT_EQ(Main(second, [] { return nullptr; }), nullptr);
        EXPECT_TRUE(prompt->last().text.startsWith("L'applicazione e' stata gia' avviata"));
        QElapsedTimer waited;
        waited.start();
        while (main.broughtForward < start && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(main.broughtForward, start);
    }
    window.hide();
}

TEST_F(MainTest, TheFirstInstanceReadsTheConfigurationAndShowsTheMainWindow) {
    ScopedRecordingPrompt prompt;
    SingleInstance instance(path("istanza.lock"));
    QWidget window;
    QWidget* shown = Main(instance, [&]() -> QWidget* {
        // The configuration is read before the main window loads.
        EXPECT_EQ(g_strRootDir, ProgramFolder());
        return &window;
    });
    EXPECT_EQ(shown, &window);
    EXPECT_TRUE(window.isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<frmSplash*>(w), nullptr) << "the splash is still loaded";
    EXPECT_TRUE(prompt->shown().empty());
    window.hide();
}

TEST_F(MainTest, ARefusedPasswordEndsBeforeTheMainWindowLoads) {
    ScopedRecordingPrompt prompt;
    SetStartupPasswordCheck([](QWidget* owner) { return owner == nullptr; });
    SingleInstance instance(path("istanza.lock"));
    bool loaded = false;
    EXPECT_EQ(Main(instance,
                   [&]() -> QWidget* {
                       loaded = true;
                       return nullptr;
                   }),
              nullptr);
    SetStartupPasswordCheck({});
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(MainTest, ASettingsFileThatCannotBeReadIsToldAndKeptAsItWas) {
    ScopedRecordingPrompt prompt;
    const QString ini = path("settings/Zelto Lavrix.ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const char content[] = "[Configuration]\nRootDir=/srv/lavoro\n\0\x01\x02\xff\xfe binario";
    f.write(content, sizeof content - 1);
    f.close();
    SingleInstance instance(path("istanza.lock"));
    QWidget window;
    EXPECT_EQ(Main(instance, [&]() -> QWidget* { return &window; }), &window);
    window.hide();
    EXPECT_EQ(g_strRootDir, ProgramFolder()) << "nothing of an unreadable file is used";
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Impossibile leggere il file delle impostazioni:\r" + ini +
                                       "\r\rSono usate le impostazioni predefinite; il file non verrà "
                                       "modificato.");
    EXPECT_EQ(prompt->last().style, MsgBoxStyle::vbExclamation);

    // The options' OK: the change holds in this run, the file is not overwritten, and the user knows.
    g_strRootDir = path("work");
    SaveConfiguration();
    SaveMagneticDevParams();
    ASSERT_EQ(prompt->shown().size(), 2u);
    EXPECT_EQ(prompt->last().text, "Impossibile scrivere il file delle impostazioni:\r" + ini +
                                       "\r\rLe modifiche alle impostazioni non sono state salvate.");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("binario"));
}

}  // namespace
