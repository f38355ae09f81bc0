// The database repair from the options dialog: checked and compacted in place, every row kept
// with its identity; refused while another computer holds the file; a damaged file left alone.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DatabaseFileUtil.h"
#include "StartupFixture.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "startup/RepairDatabase.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"
#include "support/RecordingPrompt.h"

namespace {

using namespace MsgBoxStyle;

const QString kQuestion =
    "Questa funzione tenta il recupero del database...\rIn caso di errore uscire da tutti i terminali, "
    "riavviare "
    "l'applicazione e ripetere l'operazione.\r\rContinuare ?";

// Records, with each message box, the text the message window showed at that moment.
class PeekingPrompt : public RecordingPrompt {
  public:
    MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override {
        windowTexts << (frmMessage::isLoaded() ? frmMessage::instance().messageText() : QString());
        return RecordingPrompt::msgBox(text, style, title, owner);
    }
    QStringList windowTexts;
};

// The message boxes shown, without the beeps.
std::vector<RecordingPrompt::Shown> Boxes(const RecordingPrompt& prompt) {
    std::vector<RecordingPrompt::Shown> out;
    for (const auto& s : prompt.shown())
        if (s.kind == RecordingPrompt::Kind::MsgBox) out.push_back(s);
    return out;
}
QStringList BoxTexts(const RecordingPrompt& prompt) {
    QStringList out;
    for (const auto& s : Boxes(prompt))
        out << s.text;
    return out;
}

QByteArray FileHash(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

class RepairTest : public StartupTest {
  protected:
    void SetUp() override {
        StartupTest::SetUp();
        QDir().mkpath(workFolder());
        g_strRootDir = workFolder();
        prompt = std::make_shared<PeekingPrompt>();
        previous = Prompt::setInstance(prompt);
    }
    void TearDown() override {
        Prompt::setInstance(previous);
        SetRepairBusyTimeout(odb::Connection::kDefaultBusyTimeoutMs);
        StartupTest::TearDown();
    }
    // Opens the options dialog, answers the question and runs the repair.
    void repair(MsgResult answer = MsgResult::OK) {
        frmOptions dialog;
        prompt->answer(answer);
        dialog.cmdRepairDB()->click();
        EXPECT_FALSE(frmMessage::isLoaded());
        EXPECT_TRUE(main.optionsActive);
    }
    std::shared_ptr<PeekingPrompt> prompt;
    std::shared_ptr<Prompt> previous;
};

TEST_F(RepairTest, KeepsEveryRowAndItsIdentityAndCompactsTheFile) {
    FillDatabase(databasePath(), 600);
    // This program has the database open; leftovers of an earlier repair lie beside it.
    g_objConnection = std::make_shared<odb::Connection>();
    g_objConnection->OpenDatabaseFile(databasePath());
    for (const char* leftover : {"ZeltoLavrix.mdb.NEW", "ZeltoLavrix.mdb.NEW._"}) {
        QFile f(QDir(workFolder()).filePath(leftover));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("resto");
    }
    const QString before = Snapshot(databasePath());
    ASSERT_NE(Query(databasePath(), "PRAGMA freelist_count"), "0");
    const qint64 sizeBefore = QFileInfo(databasePath()).size();

    repair();
    EXPECT_EQ(prompt->beeps(), 1);
    const auto boxes = Boxes(*prompt);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, kQuestion);
    EXPECT_EQ(boxes[0].style, vbOKCancel | vbQuestion);
    EXPECT_EQ(boxes[1].text, "Recupero completato");
    EXPECT_EQ(boxes[1].icon(), vbInformation);
    EXPECT_EQ(prompt->windowTexts.value(1), "Ripristino Database in corso...");

    EXPECT_EQ(Snapshot(databasePath()), before);
    EXPECT_EQ(Query(databasePath(), "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Query(databasePath(), "PRAGMA freelist_count"), "0");
    EXPECT_LT(QFileInfo(databasePath()).size(), sizeBefore);
    EXPECT_FALSE(QFile::exists(databasePath() + ".NEW"));
    EXPECT_FALSE(QFile::exists(databasePath() + ".NEW._"));
    // Released, not reopened: the main window opens it again at its next activation.
    EXPECT_EQ(main.releases, 1);
    EXPECT_FALSE(g_objConnection);
    EXPECT_FALSE(g_objDatabase);
}

TEST_F(RepairTest, CancelledOrWithoutAFileNothingHappens) {
    FillDatabase(databasePath(), 30);
    const QByteArray hash = FileHash(databasePath());
    repair(MsgResult::Cancel);
    EXPECT_EQ(BoxTexts(*prompt), QStringList{kQuestion});
    EXPECT_EQ(FileHash(databasePath()), hash);
    EXPECT_EQ(main.releases, 0);

    // The repair works on the folder in the dialog's box: one without a database is done at once.
    prompt->clear();
    frmOptions dialog;
    dialog.txtWorkDir()->setText(path("vuota"));
    prompt->answer(MsgResult::OK);
    dialog.cmdRepairDB()->click();
    EXPECT_EQ(BoxTexts(*prompt), (QStringList{kQuestion, "Recupero completato"}));
    EXPECT_EQ(main.releases, 0);
    EXPECT_EQ(FileHash(databasePath()), hash);
}

TEST_F(RepairTest, RefusedWhileAnotherProcessHoldsATransactionOpen) {
    FillDatabase(databasePath(), 600);
    const QString before = Snapshot(databasePath());
    const QString freePages = Query(databasePath(), "PRAGMA freelist_count");
    ASSERT_NE(freePages, "0");
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Another computer in the middle of a change.
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(databasePath()).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE; UPDATE TipiAssistenza SET PrezzoOrario = 0;",
                                    nullptr, nullptr, nullptr);
        char c = rc == SQLITE_OK ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        (void)!read(release[0], &c, 1);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    SetRepairBusyTimeout(200);
    repair();
    (void)!write(release[1], "x", 1);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_EQ(Boxes(*prompt).size(), 2u);
    EXPECT_EQ(
        prompt->last().text,
        "Il database è in uso su un'altra postazione: il recupero non è stato eseguito e il database non è "
        "stato modificato.\r\rUscire da tutti i terminali e ripetere l'operazione.");
    EXPECT_EQ(prompt->last().icon(), vbExclamation);
    EXPECT_EQ(Snapshot(databasePath()), before);
    EXPECT_EQ(Query(databasePath(), "PRAGMA freelist_count"), freePages);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
}

TEST_F(RepairTest, ADamagedFileIsLeftAsItWas) {
    FillDatabase(databasePath(), 300);
    // The first page of an index is overwritten: the tables still read, the check fails.
    const int page = Query(databasePath(),
                           "SELECT rootpage FROM sqlite_master WHERE type='index' AND "
                           "tbl_name='TipiAssistenza' LIMIT 1")
                         .toInt();
    const int pageSize = Query(databasePath(), "PRAGMA page_size").toInt();
    ASSERT_GT(page, 1);
    {
        QFile f(databasePath());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(qint64(page - 1) * pageSize);
        f.write(QByteArray(64, '\x7f'));
    }
    const QByteArray hash = FileHash(databasePath());
    repair();
    ASSERT_EQ(Boxes(*prompt).size(), 2u);
    EXPECT_TRUE(
        prompt->last().text.startsWith("Il controllo ha rilevato danni al database che il recupero non può "
                                       "correggere: il file non è stato modificato.\r\r"))
        << prompt->last().text.toStdString();
    EXPECT_GT(prompt->last().text.size(), 110);
    EXPECT_EQ(prompt->last().icon(), vbCritical);
    EXPECT_EQ(FileHash(databasePath()), hash);
}

TEST_F(RepairTest, AnErrorShowsItsDescriptionAlone) {
    // A folder where the database file should be: it exists, but it does not open.
    ASSERT_TRUE(QDir().mkpath(databasePath()));
    repair();
    ASSERT_EQ(Boxes(*prompt).size(), 2u);
    EXPECT_TRUE(prompt->last().text.contains("ZeltoLavrix.mdb")) << prompt->last().text.toStdString();
    EXPECT_EQ(prompt->last().style, vbOKOnly);
    EXPECT_TRUE(prompt->last().title.isEmpty());
}

}  // namespace
