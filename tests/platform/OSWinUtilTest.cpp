// The operating-system helpers: paths, file tests, INI values, printer name, keystroke texts,
// shell requests and process waits.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "platform/DefaultPrinter.h"
#include "platform/KeyState.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"
#include "platform/ShellService.h"
#include "platform/modOSWinUtil.h"
#include "support/ScopedPrograms.h"
#include "support/TestEnvironment.h"

namespace {

struct PathCase {
    const char* path;
    const char* fileName;
    const char* dir;
};

TEST(OSWinUtil, SplitsPathsAtTheLastBackslashElseTheLastSlash) {
    const PathCase cases[] = {
        {"C:\\Dati\\foto.jpg", "foto.jpg", "C:\\Dati"},
        {"img/a.png", "a.png", "img"},
        {"nome", "nome", ""},
        {"a/b\\c/d.txt", "c/d.txt", "a/b"},  // both kinds: the last "\" wins
        {"/srv/dati/", "", "/srv/dati"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetFileNameFromPath(c.path), c.fileName) << c.path;
        EXPECT_EQ(GetDirFromPath(c.path), c.dir) << c.path;
    }
}

class OSWinUtilFolders : public TempFolderTest {};

TEST_F(OSWinUtilFolders, MakeAbsolutePathPutsRelativePathsInTheProgramFolder) {
    const QString program = ProgramFolder();
    EXPECT_EQ(MakeAbsolutePath("Stampe\\a.vbs"), program + "/Stampe\\a.vbs");
    EXPECT_EQ(MakeAbsolutePath("stampe/a.vbs"), program + "/stampe/a.vbs");
    EXPECT_EQ(MakeAbsolutePath(""), program + "/");
    for (const char* unchanged : {"C:\\a.vbs", "\\\\server\\a.vbs", "/a.vbs", "\\a.vbs"})
        EXPECT_EQ(MakeAbsolutePath(unchanged), unchanged);
}

TEST_F(OSWinUtilFolders, FileExistsTestsPresenceAndAttributesWithoutRaising) {
    const QString file = path("dati.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(workFolder()));
    EXPECT_TRUE(FileExists(workFolder(), FileAttr::kDirectory));
    EXPECT_FALSE(FileExists(file, FileAttr::kDirectory));
    EXPECT_TRUE(FileExists(file, FileAttr::kArchive));
    EXPECT_FALSE(FileExists(file, FileAttr::kHidden));
    EXPECT_FALSE(FileExists(path("manca.txt")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(QString(QChar(0)) + "x"));
}

TEST_F(OSWinUtilFolders, TempDirTakesTempThenTmpThenTheProgramFolder) {
    const QByteArray oldTemp = qgetenv("TEMP"), oldTmp = qgetenv("TMP");
    qputenv("TEMP", workFolder().toLocal8Bit());
    qputenv("TMP", path("settings").toLocal8Bit());
    EXPECT_EQ(GetTempDir(), workFolder());
    qputenv("TEMP", path("manca").toLocal8Bit());
    EXPECT_EQ(GetTempDir(), path("settings"));
    qunsetenv("TEMP");
    qputenv("TMP", "");
    EXPECT_EQ(GetTempDir(), ProgramFolder());
    oldTemp.isNull() ? qunsetenv("TEMP") : qputenv("TEMP", oldTemp);
    oldTmp.isNull() ? qunsetenv("TMP") : qputenv("TMP", oldTmp);
}

TEST_F(OSWinUtilFolders, IniValuesBySectionAndKeyInAnyCase) {
    const QString ini = path("prova.ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "; commento\n[windows]\ndevice=Laser,winspool,Ne00:\nload = \"con spazi\" \n[altro]\ndevice=Altro\n");
    f.close();
    EXPECT_EQ(GetIniString(ini, "Windows", "DEVICE", "def"), "Laser,winspool,Ne00:");
    EXPECT_EQ(GetIniString(ini, "windows", "load", ""), "con spazi");
    EXPECT_EQ(GetIniString(ini, "altro", "device", ""), "Altro");
    EXPECT_EQ(GetIniString(ini, "windows", "manca", "def"), "def");
    EXPECT_EQ(GetIniString(ini, "manca", "device", "def"), "def");
    EXPECT_EQ(GetIniString(path("manca.ini"), "windows", "device", "def"), "def");
}

TEST(OSWinUtil, DefaultPrinterNameIsCutBeforeItsFirstComma) {
    SetDefaultPrinterName("Laser,winspool,Ne00:");
    EXPECT_EQ(GetDefaultPrinterName(), "Laser");
    SetDefaultPrinterName("Ufficio");
    EXPECT_EQ(GetDefaultPrinterName(), "Ufficio");
    SetDefaultPrinterName({});
}

struct KeyCase {
    int16_t code;
    bool shift, caps;
    const char* text;
};

TEST(OSWinUtil, KeyCodesBecomeKeystrokeTextsCasedByShiftAndCapsLock) {
    const KeyCase cases[] = {
        {65, false, false, "a"},    {65, true, false, "A"},          {90, false, true, "Z"},
        {90, true, true, "z"},      {48, false, false, "0"},         {57, true, false, "9"},
        {96, false, false, "0"},    {105, false, false, "9"},        {106, false, false, "*"},
        {107, false, false, "+"},   {108, false, false, ","},        {109, false, false, "-"},
        {110, false, false, "."},   {111, false, false, "/"},        {32, false, false, " "},
        {190, false, false, "."},   {188, false, false, ","},        {189, false, false, "-"},
        {27, true, false, "{ESC}"}, {8, true, false, "{BACKSPACE}"}, {27, false, false, "{esc}"},
    };
    for (const auto& c : cases) {
        KeyState::setSource([&] { return KeyboardState{c.shift, c.caps}; });
        QString text = "prima";
        EXPECT_TRUE(KeyCodeToSendKeys(c.code, text)) << c.code;
        EXPECT_EQ(text, c.text) << c.code << " shift " << c.shift << " caps " << c.caps;
    }
    KeyState::setSource({});
}

TEST(OSWinUtil, KeysThatTypeNothingLeaveTheTextAlone) {
    for (int16_t code : {112, 13, 45, 46, 16, 0, 200}) {
        QString text = "prima";
        EXPECT_FALSE(KeyCodeToSendKeys(code, text)) << code;
        EXPECT_EQ(text, "prima");
    }
}

class RecordingShell : public ShellService {
  public:
    bool execute(const QString& file, const QString& operation, const QString& parameters,
                 const QString& workDir, bool minimised) override {
        calls.push_back({file, operation, parameters, workDir, minimised});
        return accept;
    }
    struct Call {
        QString file, operation, parameters, workDir;
        bool minimised;
    };
    std::vector<Call> calls;
    bool accept = true;
};

TEST(OSWinUtil, ShellRequestsGoThroughTheShellService) {
    auto shell = std::make_shared<RecordingShell>();
    auto previous = ShellService::setInstance(shell);
    EXPECT_TRUE(ShellExecuteFile("/tmp/Error.htm"));
    shell->accept = false;
    EXPECT_FALSE(ShellExecuteFile("setup.sh", "open", "ZeltoLavrix /opt", "/tmp/agg", true));
    ShellService::setInstance(previous);
    ASSERT_EQ(shell->calls.size(), 2u);
    EXPECT_EQ(shell->calls[0].file, "/tmp/Error.htm");
    EXPECT_EQ(shell->calls[0].operation, "open");
    EXPECT_FALSE(shell->calls[0].minimised);
    EXPECT_EQ(shell->calls[1].parameters, "ZeltoLavrix /opt");
    EXPECT_EQ(shell->calls[1].workDir, "/tmp/agg");
    EXPECT_TRUE(shell->calls[1].minimised);
}

TEST(OSWinUtil, DesktopShellRefusesUnknownOperationsAndMissingFiles) {
    DesktopShellService shell;
    EXPECT_FALSE(shell.execute("", "open", "", "", false));
    EXPECT_FALSE(shell.execute("/tmp", "print", "", "", false));
    EXPECT_FALSE(shell.execute("/nessuna/cartella/file.htm", "open", "", "", false));
}

TEST(OSWinUtil, TheDesktopShellSaysWhetherAProgramTookTheFile) {
    QTemporaryDir dir;
    const QString page = QDir(dir.path()).filePath("TableData.htm");
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString asked = QDir(dir.path()).filePath("chiesto");
    DesktopShellService shell;
    {
        // No program for the file: the opener says so.
        ScopedPrograms programs;
        programs.add("xdg-open", "echo \"$1\" > '" + asked.toUtf8() + "'\nexit 3");
        EXPECT_FALSE(shell.execute(page, "open", "", "", false));
        QFile said(asked);
        ASSERT_TRUE(said.open(QIODevice::ReadOnly));
        EXPECT_EQ(said.readAll().trimmed(), QUrl::fromLocalFile(page).toString().toUtf8());
    }
    {
        ScopedPrograms programs;
        programs.add("xdg-open", "exit 0");
        EXPECT_TRUE(shell.execute(page, "open", "", "", false));
    }
    {
        // An opener that runs the program itself and stays, here until the test lets it go (or a
        // minute has passed): opened, without waiting for its end.
        const QString release = QDir(dir.path()).filePath("via");
        const QString ended = QDir(dir.path()).filePath("finito");
        ScopedPrograms programs;
        programs.add("xdg-open", QStringLiteral("i=0\nwhile [ ! -e '%1' ] && [ $i -lt 1200 ]; do\n"
                                                "  /bin/sleep 0.05; i=$((i + 1))\ndone\n: > '%2'")
                                     .arg(release, ended)
                                     .toUtf8());
        EXPECT_TRUE(shell.execute(page, "open", "", "", false));
        EXPECT_FALSE(QFile::exists(ended));
        QFile(release).open(QIODevice::WriteOnly);
    }
}

TEST(OSWinUtil, WaitForProcessGivesTheExitCodeBlockingOrNot) {
    const int64_t a = StartProcess("sh -c \"exit 3\"");
    ASSERT_NE(a, 0);
    EXPECT_EQ(WaitForProcess(a, false), 3);
    const int64_t b = StartProcess("sh -c \"exit 7\"");
    ASSERT_NE(b, 0);
    EXPECT_EQ(WaitForProcess(b, true), 7);
    EXPECT_EQ(StartProcess("/nessun/programma"), 0);
}

TEST(OSWinUtil, WaitForAProcessThatIsNotThereGivesZeroOrRaisesWhenBlocking) {
    const int64_t gone = StartProcess("true");
    ASSERT_NE(gone, 0);
    WaitForProcess(gone, true);  // now neither ours nor running
    EXPECT_EQ(WaitForProcess(gone, false), 0);
    EXPECT_THROW(WaitForProcess(gone, true), AppError);
}

}  // namespace
