// The database repair from the options dialog: checked and compacted in place, every row kept
// with its identity; refused while another process holds the file; a damaged file left alone.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "DatabaseFileUtil.h"
#include "StartupFixture.h"
#include "odb/Connection.h"
#include "startup/RepairDatabase.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"
#include "support/OtherComputerLock.h"
#include "support/RecordingPrompt.h"

namespace {

using namespace MsgBoxStyle;

// Records the text of the message window with each message box.
class PeekingPrompt : public RecordingPrompt {
  public:
    MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override {
        windowTexts << (frmMessage::isLoaded() ? frmMessage::instance().messageText() : QString());
        return RecordingPrompt::msgBox(text, style, title, owner);
    }
    QStringList windowTexts;
};

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
        previous = Prompt::setInstance(prompt);
    }
    void TearDown() override {
        Prompt::setInstance(previous);
        SetRepairBusyTimeout(odb::Connection::kDefaultBusyTimeoutMs);
        StartupTest::TearDown();
    }
    // The options dialog's repair command, its question answered OK; the last message shown.
    RecordingPrompt::Shown repair() {
        frmOptions dialog;
        dialog.txtWorkDir()->setText(workFolder());
        prompt->answer(MsgResult::OK);
        dialog.cmdRepairDB()->click();
        EXPECT_FALSE(frmMessage::isLoaded());
        return prompt->last();
    }
    std::shared_ptr<PeekingPrompt> prompt = std::make_shared<PeekingPrompt>();
    std::shared_ptr<Prompt> previous;
};

TEST_F(RepairTest, KeepsEveryRowAndItsIdentityAndCompactsTheFile) {
    FillDatabase(databasePath(), 600);
    // This program has the database open; leftovers of an earlier repair lie beside it.
    g_objConnection = std::make_shared<odb::Connection>();
    g_objConnection->OpenDatabaseFile(databasePath());
    for (const char* leftover : {".NEW", ".NEW._"}) {
        QFile f(databasePath() + leftover);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString before = Snapshot(databasePath());
    ASSERT_NE(Query(databasePath(), "PRAGMA freelist_count"), "0");

    EXPECT_EQ(repair().text, "Recupero completato");
    EXPECT_EQ(
        prompt->shown()[1].text,
        "Questa funzione tenta il recupero del database...\rIn caso di errore uscire da tutti i terminali, "
        "riavviare l'applicazione e ripetere l'operazione.\r\rContinuare ?");
    EXPECT_EQ(prompt->shown()[1].style, vbOKCancel | vbQuestion);
    EXPECT_EQ(prompt->windowTexts.value(1), "Ripristino Database in corso...");
    EXPECT_EQ(prompt->last().icon(), vbInformation);
    EXPECT_EQ(Snapshot(databasePath()), before);
    EXPECT_EQ(Query(databasePath(), "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Query(databasePath(), "PRAGMA freelist_count"), "0");
    EXPECT_FALSE(QFile::exists(databasePath() + ".NEW") || QFile::exists(databasePath() + ".NEW._"));
    // Released, not reopened: the main window opens it again at its next activation.
    EXPECT_EQ(main.releases, 1);
    EXPECT_FALSE(g_objConnection || g_objDatabase);
}

TEST_F(RepairTest, RefusedWhileAnotherProcessHoldsATransactionOpen) {
    FillDatabase(databasePath(), 600);
    const QString before = Snapshot(databasePath());
    // Another computer in the middle of a change.
    OtherComputerLock other(databasePath(), "UPDATE TipiAssistenza SET PrezzoOrario = 0", "BEGIN IMMEDIATE",
                            "ROLLBACK");
    ASSERT_TRUE(other.holds());
    SetRepairBusyTimeout(200);
    const auto shown = repair();
    other.release();
    EXPECT_EQ(
        shown.text,
        "Il database è in uso su un'altra postazione: il recupero non è stato eseguito e il database non è "
        "stato modificato.\r\rUscire da tutti i terminali e ripetere l'operazione.");
    EXPECT_EQ(shown.icon(), vbExclamation);
    EXPECT_EQ(Snapshot(databasePath()), before);
    EXPECT_NE(Query(databasePath(), "PRAGMA freelist_count"), "0");
}

TEST_F(RepairTest, ADamagedFileIsLeftAsItWas) {
    FillDatabase(databasePath(), 300);
    // The first page of an index is overwritten: the tables still read, the check fails.
    const int page =
        Query(databasePath(),
              "SELECT rootpage FROM sqlite_master WHERE type='index' AND tbl_name='TipiAssistenza'")
            .toInt();
    ASSERT_GT(page, 1);
    {
        QFile f(databasePath());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(qint64(page - 1) * Query(databasePath(), "PRAGMA page_size").toInt());
        f.write(QByteArray(64, '\x7f'));
    }
    const QByteArray hash = FileHash(databasePath());
    const auto shown = repair();
    EXPECT_TRUE(
        shown.text.startsWith("Il controllo ha rilevato danni al database che il recupero non può "
                              "correggere: il file non è stato modificato.\r\r"))
        << shown.text.toStdString();
    EXPECT_EQ(shown.icon(), vbCritical);
    EXPECT_EQ(FileHash(databasePath()), hash);
}

}  // namespace
