// Opening and first creating the shared database, and what a failure shows.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "StartupFixture.h"
#include "base/AppError.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "startup/DatabaseOpening.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"
#include "support/ModalScript.h"
#include "support/RecordingPrompt.h"

namespace {

using namespace MsgBoxStyle;
using DatabaseOpeningTest = StartupTest;

TEST_F(DatabaseOpeningTest, FirstStartCreatesTheDatabaseInTheChosenFolder) {
    ScopedRecordingPrompt prompt;
    g_strRootDir = ProgramFolder();
    bool markedWhileOpen = false;
    ScopedModalScript dialogs([&](QDialog& d) {
        auto* options = qobject_cast<frmOptions*>(&d);
        ASSERT_TRUE(options);
        markedWhileOpen = main.optionsActive && !main.widget.isEnabled();
        EXPECT_EQ(options->txtWorkDir()->text(), ProgramFolder());
        options->txtWorkDir()->setText(workFolder());
        options->cmdOK()->click();
    });
    prompt->answer(MsgResult::Yes);  // the work folder changed: confirmed
    EXPECT_TRUE(OpenDatabase());
    EXPECT_EQ(dialogs.runs, 1);
    EXPECT_TRUE(QFile::exists(databasePath()));
    EXPECT_FALSE(QFile::exists(QDir(ProgramFolder()).filePath("ZeltoLavrix.mdb")));
    EXPECT_EQ(g_strRootDir, workFolder());
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "RootDir"), workFolder());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->shown()[0].text, "L'indirizzario di lavoro e' cambiato.\r\rConfermi ?");
    // The options dialog marked the main window while it was open and cleared the mark after.
    EXPECT_TRUE(markedWhileOpen);
    EXPECT_EQ(main.optionsChanges, (std::vector<bool>{true, false}));
    EXPECT_TRUE(main.widget.isEnabled());
    EXPECT_FALSE(frmMessage::isLoaded());
}

TEST_F(DatabaseOpeningTest, CancellingTheOptionsAtFirstStartEndsWithNoFileAndNoMessage) {
    ScopedRecordingPrompt prompt;
    ScopedModalScript dialogs([](QDialog& d) {
        auto* options = qobject_cast<frmOptions*>(&d);
        ASSERT_TRUE(options);
        options->txtWorkDir()->setText("/altrove");
        options->cmdCancel()->click();
    });
    g_strRootDir = workFolder();
    EXPECT_FALSE(OpenDatabase());
    EXPECT_EQ(dialogs.runs, 1);
    EXPECT_FALSE(QFile::exists(databasePath()));
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(g_strRootDir, workFolder());
    EXPECT_TRUE(GetSetting("Zelto Lavrix", "Configuration", "RootDir").isEmpty());
    // The message window stays for the main window's unload.
    EXPECT_TRUE(frmMessage::isLoaded());
    EXPECT_EQ(frmMessage::instance().messageText(), "Inizializzazione del database...");
}

TEST_F(DatabaseOpeningTest, AnExistingDatabaseOpensWithoutQuestions) {
    {
        odb::Connection c;
        c.CreateDatabaseFile(databasePath());
    }
    ScopedRecordingPrompt prompt;
    g_strRootDir = workFolder();
    EXPECT_TRUE(OpenDatabase());
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_TRUE(IsDatabaseOpen());
    EXPECT_EQ(g_objDatabase->NotifySink(), &main);
    // A second run opens the same file again, the tables already there.
    main.ReleaseDatabase();
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_TRUE(OpenDatabase());
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(DatabaseOpeningTest, AFileThatIsNotADatabaseFailsWithTheLibrarysText) {
    QFile f(databasePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    QString libraryText;
    try {
        odb::Connection c;
        c.OpenDatabaseFile(databasePath());
        FAIL() << "the library opened a file that is not a database";
    } catch (const AppError& e) {
        libraryText = e.description();
    }
    ASSERT_FALSE(libraryText.isEmpty());
    ScopedRecordingPrompt prompt;
    g_strRootDir = workFolder();
    EXPECT_FALSE(OpenDatabase());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Inizializzazione database fallita: \r\r" + libraryText);
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_FALSE(IsDatabaseOpen());
    // The file is left as it was.
    EXPECT_EQ(QFileInfo(databasePath()).size(), 4096);
}

TEST_F(DatabaseOpeningTest, AnEmptyWorkFolderMeansTheBareFileNameAndNoUpdateCheck) {
    ScopedRecordingPrompt prompt;
    ScopedModalScript dialogs;  // the options dialog comes up and is closed without OK
    int checks = 0;
    SetStartupUpdateCheck([&](const QString&) { ++checks; });
    g_strRootDir.clear();
    EXPECT_FALSE(OpenDatabase());  // no "ZeltoLavrix.mdb" here: options, cancelled
    EXPECT_EQ(dialogs.runs, 1);
    EXPECT_EQ(checks, 0);
    {
        odb::Connection c;
        c.CreateDatabaseFile(databasePath());
    }
    g_strRootDir = workFolder();
    EXPECT_TRUE(OpenDatabase());
    EXPECT_EQ(checks, 1);
    // A failing check does not stop the opening.
    main.ReleaseDatabase();
    SetStartupUpdateCheck(
        [](const QString&) { throw AppError(kAppErrorNumber, "x", "aggiornamento fallito"); });
    EXPECT_TRUE(OpenDatabase());
    EXPECT_TRUE(prompt->shown().empty());
    SetStartupUpdateCheck({});
}

}  // namespace
