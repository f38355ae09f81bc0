// The main window's start-up side: activation opens the database and stores the day length,
// a refused opening unloads the window, library notifications, closing and unloading.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include "base/DateUtil.h"
#include "mainwindow/frmMain.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "platform/SettingsStore.h"
#include "platform/clsOSTNA.h"
#include "startup/DatabaseOpening.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"
#include "support/ModalScript.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

class frmMainTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        g_strRootDir = workFolder();
        g_dtmOraPredefinitaEntrataMattino = DefaultOraEntrataMattino();
        g_dtmOraPredefinitaUscitaMattino = DefaultOraUscitaMattino();
        g_dtmOraPredefinitaEntrataPomeriggio = DefaultOraEntrataPomeriggio();
        g_dtmOraPredefinitaUscitaPomeriggio = DefaultOraUscitaPomeriggio();
        g_intMinPausaMattutina = 0;
        g_intMinRitardoAmmessi = 0;
        g_intTotMinGiornataLavorativa = 0;
    }
    void TearDown() override {
        if (g_objConnection) g_objConnection->CloseConnection();
        g_objConnection.reset();
        g_objDatabase.reset();
        frmMessage::Unload();
        TempFolderTest::TearDown();
    }
    void createDatabase() {
        odb::Connection c;
        c.CreateDatabaseFile(QDir(workFolder()).filePath("ZeltoLavrix.mdb"));
    }
    QString stored(const QString& key) { return g_objDatabase->GetSetting(g_objConnection, key, "assente"); }
};

TEST_F(frmMainTest, ActivationOpensTheDatabaseAndStoresTheDayLength) {
    createDatabase();
    ScopedRecordingPrompt prompt;
    frmMain w;
    w.Form_Activate();
    EXPECT_TRUE(IsDatabaseOpen());
    EXPECT_FALSE(w.isUnloaded());
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(g_intTotMinGiornataLavorativa, 490);  // 7:40-13:00 and 14:00-16:50, no pause
    EXPECT_EQ(stored("TotMinGiornataLavorativa"), "490");
    // A later activation with the database open changes nothing.
    auto database = g_objDatabase;
    w.Form_Activate();
    EXPECT_EQ(g_objDatabase, database);
}

TEST_F(frmMainTest, StoredWorkingHoursAreReadAndUnreadableOnesKeepTheirValue) {
    createDatabase();
    ScopedRecordingPrompt prompt;
    frmMain w;
    w.Form_Activate();
    g_objDatabase->SaveSetting(g_objConnection, "OraPredefinitaEntrataMattino", "08:00:00");
    g_objDatabase->SaveSetting(g_objConnection, "MinPausaMattutina", "10");
    g_objDatabase->SaveSetting(g_objConnection, "MinRitardoAmmessi", "cinque");
    g_objDatabase->SaveSetting(g_objConnection, "OraPredefinitaUscitaPomeriggio", "non un'ora");
    g_intMinRitardoAmmessi = 3;
    w.ReleaseDatabase();
    EXPECT_FALSE(IsDatabaseOpen());
    w.Form_Activate();  // the next activation opens it again
    ASSERT_TRUE(IsDatabaseOpen());
    EXPECT_EQ(g_dtmOraPredefinitaEntrataMattino, MakeOleTime(8, 0, 0));
    EXPECT_EQ(g_intMinPausaMattutina, 10);
    EXPECT_EQ(g_intMinRitardoAmmessi, 3);
    EXPECT_EQ(g_dtmOraPredefinitaUscitaPomeriggio, MakeOleTime(16, 50, 0));
    EXPECT_EQ(g_intTotMinGiornataLavorativa, 460);
    EXPECT_EQ(stored("TotMinGiornataLavorativa"), "460");
}

TEST_F(frmMainTest, FirstStartWithAChosenFolderCreatesTheDatabaseThere) {
    ScopedRecordingPrompt prompt;
    g_strRootDir = path("program");
    ScopedModalScript dialogs([this](QDialog& d) {
        auto* options = qobject_cast<frmOptions*>(&d);
        ASSERT_TRUE(options);
        options->txtWorkDir()->setText(workFolder());
        options->cmdOK()->click();
    });
    prompt->answer(MsgResult::Yes);
    frmMain w;
    w.Form_Activate();
    EXPECT_TRUE(IsDatabaseOpen());
    EXPECT_TRUE(QFile::exists(QDir(workFolder()).filePath("ZeltoLavrix.mdb")));
    EXPECT_FALSE(w.OptionsActive());
    EXPECT_TRUE(w.isEnabled());
}

TEST_F(frmMainTest, ACancelledFirstStartUnloadsTheWindowWithoutAnErrorBox) {
    ScopedRecordingPrompt prompt;
    ScopedModalScript dialogs([](QDialog& d) { d.reject(); });
    frmMain w;
    int unloads = 0;
    QObject::connect(&w, &frmMain::unloaded, [&] { ++unloads; });
    w.Form_Activate();
    EXPECT_TRUE(w.isUnloaded());
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(QFile::exists(QDir(workFolder()).filePath("ZeltoLavrix.mdb")));
    EXPECT_EQ(dialogs.runs, 1);
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_FALSE(IsDatabaseOpen());
}

TEST_F(frmMainTest, NothingHappensWhileTheOptionsAreOpen) {
    createDatabase();
    ScopedRecordingPrompt prompt;
    frmMain w;
    w.SetOptionsActive(true);
    w.Form_Activate();
    EXPECT_FALSE(IsDatabaseOpen());
    w.SetOptionsActive(false);
    w.Form_Activate();
    EXPECT_TRUE(IsDatabaseOpen());
}

TEST_F(frmMainTest, TheOptionsCommandReleasesAChangedFolderAndTheNextActivationOpensIt) {
    createDatabase();
    ScopedRecordingPrompt prompt;
    frmMain w;
    w.Form_Activate();
    ASSERT_TRUE(IsDatabaseOpen());
    const QString other = path("altra");
    QDir().mkpath(other);
    {
        odb::Connection c;
        c.CreateDatabaseFile(QDir(other).filePath("ZeltoLavrix.mdb"));
    }
    w.mnuToolsOptions()->trigger();
    // The dialog is shown without waiting, owned by the main window.
    frmOptions* options = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && qobject_cast<frmOptions*>(top)) options = qobject_cast<frmOptions*>(top);
    ASSERT_TRUE(options);
    EXPECT_TRUE(w.OptionsActive());
    EXPECT_FALSE(w.isEnabled());
    options->txtWorkDir()->setText(other);
    prompt->answer(MsgResult::Yes);
    options->cmdOK()->click();
    // Released by the dialog, not reopened by it.
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_FALSE(w.OptionsActive());
    EXPECT_TRUE(w.isEnabled());
    w.Form_Activate();
    ASSERT_TRUE(IsDatabaseOpen());
    EXPECT_EQ(g_objConnection->Path(), QDir(other).filePath("ZeltoLavrix.mdb"));
}

TEST_F(frmMainTest, LibraryEventsBecomeTheStatusText) {
    frmMain w;
    w.OnEvent(odb::odbEvtCreateTable, nullptr, "");
    EXPECT_EQ(w.statusText(), odb::DbmsGlobal::EventText(odb::odbEvtCreateTable, 0));
    w.OnEvent(odb::odbEvtCreateTable, nullptr, "Clienti");
    EXPECT_EQ(w.statusText(), odb::DbmsGlobal::EventText(odb::odbEvtCreateTable, 0) + " <Clienti>...");
}

TEST_F(frmMainTest, LibraryQuestionsAnswerThroughTheCancelFlag) {
    ScopedRecordingPrompt prompt;
    frmMain w;
    struct Case {
        int32_t type;
        bool cancelIn;
        MsgResult answer;
        int style;
        bool cancelOut;
    };
    const Case cases[] = {
        {1, false, MsgResult::OK, vbOKCancel | vbQuestion, false},
        {3, false, MsgResult::OK, vbOKCancel | vbExclamation, false},
        {3, true, MsgResult::Cancel, vbOKCancel | vbExclamation | vbDefaultButton2, true},
        {0, true, MsgResult::OK, vbOKCancel | vbQuestion | vbDefaultButton2, false},
    };
    for (const auto& c : cases) {
        prompt->answer(c.answer);
        bool cancel = c.cancelIn;
        w.OnQueryMessage(nullptr, c.type, "Eliminare ?", cancel);
        EXPECT_EQ(cancel, c.cancelOut);
        EXPECT_EQ(prompt->last().style, c.style);
        EXPECT_EQ(prompt->last().text, "Eliminare ?");
    }
    bool cancel = true;
    w.OnQueryMessage(nullptr, 1, "Enter ?", cancel);  // no answer: the default button, Cancel
    EXPECT_TRUE(cancel);
    w.OnInternalMessage(nullptr, "Valore non ammesso");
    EXPECT_EQ(prompt->last().text, "Valore non ammesso");
    EXPECT_EQ(prompt->last().style, vbExclamation);
    EXPECT_TRUE(prompt->last().title.isEmpty());
}

TEST_F(frmMainTest, ClosingTheWindowNeverLosesItAndTheTrayShowsItAgain) {
    frmMain w;
    w.show();
    w.close();
    EXPECT_FALSE(w.isUnloaded());
    if (clsOSTNA::TrayAvailable())
        EXPECT_FALSE(w.isVisible());
    else
        EXPECT_TRUE(w.isMinimized());
    w.hide();
    w.txtTNAInterface_MouseMove(7725);  // double click on the icon
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    w.txtTNAInterface_MouseMove(7740);  // right press: the tray menu
    EXPECT_TRUE(w.trayMenu()->isVisible());
    QStringList items;
    for (QAction* a : w.trayMenu()->actions())
        items << a->text();
    EXPECT_EQ(items, QStringList({"&Visualizza", "&Chiudi"}));
    w.trayMenu()->hide();
    w.hide();
}

TEST_F(frmMainTest, ChiudiUnloadsSavesThePlacementAndReleasesTheDatabase) {
    createDatabase();
    ScopedRecordingPrompt prompt;
    frmMain w;
    w.Form_Activate();
    ASSERT_TRUE(IsDatabaseOpen());
    int unloads = 0;
    QObject::connect(&w, &frmMain::unloaded, [&] { ++unloads; });
    QAction* chiudi = nullptr;
    for (QAction* menu : w.menuBar()->actions())
        if (menu->text() == "&Dati")
            for (QAction* a : menu->menu()->actions())
                if (a->text() == "Chiudi") chiudi = a;
    ASSERT_NE(chiudi, nullptr);
    chiudi->trigger();
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(w.isUnloaded());
    EXPECT_FALSE(g_objConnection);
    EXPECT_FALSE(g_objDatabase);
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Settings", "MainState"), "0");
    EXPECT_FALSE(GetSetting("Zelto Lavrix", "Settings", "MainWidth").isEmpty());
    w.Form_Activate();  // an unloaded window opens nothing
    EXPECT_FALSE(IsDatabaseOpen());
}

TEST_F(frmMainTest, FirstPlacementUsesTheDefaultTwips) {
    frmMain w;
    EXPECT_EQ(w.geometry(), QRect(1000 / 15, 1000 / 15, 6500 / 15, 6500 / 15));
    EXPECT_EQ(w.windowTitle(), "Zelto Lavrix");
    EXPECT_FALSE(w.isMinimized());
}

}  // namespace
