// Sharing one file between processes: simultaneous creation, a writer waiting for a lock, and the
// busy error when a lock is held past the timeout.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "OdbTestUtil.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "odb/DataSet.h"
#include "support/TestEnvironment.h"

using namespace odbtest;

namespace {

class SharingTest : public TempFolderTest {
  protected:
    QString db() const { return path(QStringLiteral("ZeltoLavrix.mdb")); }
    static std::shared_ptr<TestDefinition> shop() {
        auto def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        return def;
    }
    TestNotify notify;
};

// Counts, while it lives, the sleeps of SQLite's busy wait in this process: a writer that has slept
// has met the lock and is waiting for it. Connections opened before it are not counted.
class BusyWaits {
  public:
    BusyWaits() : vfs_(*base()) {
        vfs_.zName = "zl-busy-waits";
        vfs_.xSleep = [](sqlite3_vfs*, int microseconds) {
            ++sleeps();
            return base()->xSleep(base(), microseconds);
        };
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~BusyWaits() { sqlite3_vfs_unregister(&vfs_); }
    BusyWaits(const BusyWaits&) = delete;
    BusyWaits& operator=(const BusyWaits&) = delete;

    static std::atomic<int>& sleeps() {
        static std::atomic<int> count{0};
        return count;
    }

  private:
    // The system's own files and sleeps, which this one passes everything to.
    static sqlite3_vfs* base() {
        static sqlite3_vfs* const unix = sqlite3_vfs_find("unix");
        return unix;
    }
    sqlite3_vfs vfs_;
};

// Another computer holding the write lock for a while.
class LockHolder {
  public:
    explicit LockHolder(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        // Its commit can meet, for a moment, a writer that is taking its turn to look at the lock.
        sqlite3_busy_timeout(db_, 60000);
        ok_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~LockHolder() {
        release();
        sqlite3_close(db_);
    }
    bool holds() const { return ok_; }
    void release() {
        if (ok_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        ok_ = false;
    }

  private:
    sqlite3* db_ = nullptr;
    bool ok_ = false;
};

// Another computer letting its lock go once a writer of this one is seen waiting for it (under
// BusyWaits), or once told that the writer is done.
class ReleaseWhenWaited {
  public:
    explicit ReleaseWhenWaited(LockHolder& holder)
        : thread_([this, &holder, before = BusyWaits::sleeps().load()] {
              while (!done_ && BusyWaits::sleeps() <= before)
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              waited_ = BusyWaits::sleeps() > before;
              holder.release();
          }) {}
    ~ReleaseWhenWaited() { waited(); }
    ReleaseWhenWaited(const ReleaseWhenWaited&) = delete;
    ReleaseWhenWaited& operator=(const ReleaseWhenWaited&) = delete;
    // True when the writer was seen waiting before the lock went.
    bool waited() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return waited_;
    }

  private:
    std::atomic<bool> done_{false};
    bool waited_ = false;
    std::thread thread_;  // last: started once the members above exist
};

// The writers below are let go once seen waiting; their timeout only keeps a writer that is never
// let go from hanging the test.
constexpr int kLongBusyMs = 60000;

TEST_F(SharingTest, TwoProcessesCreatingOneNewDatabaseAtOnceMakeItOnce) {
    for (int round = 0; round < 4; ++round) {
        const QString file = path(QStringLiteral("shared%1.mdb").arg(round));
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < 2; ++i) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                close(gate[1]);
                char c;
                // Both start when the gate opens.
                if (read(gate[0], &c, 1) < 0) _exit(3);
                int code = 0;
                try {
                    TestNotify n;
                    auto conn = std::make_shared<odb::Connection>();
                    conn->CreateDatabaseFile(file);
                    conn->OpenDatabaseFile(file);
                    auto database = odb::DbmsGlobal::CreateDatabase(shop(), "ZeltoLavrix", &n);
                    database->Open(conn, -1, 0, 0, 0, nullptr);
                    conn->CloseConnection();
                } catch (...) {
                    code = 1;
                }
                _exit(code);
            }
            children.push_back(pid);
        }
        close(gate[0]);
        close(gate[1]);  // opens the gate for both
        for (pid_t pid : children) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0) << "round " << round;
        }
        EXPECT_EQ(RawCount(file, "SELECT count(*) FROM Clienti"), 1) << "round " << round;
        EXPECT_EQ(RawCount(file, "SELECT count(*) FROM Operai"), 1) << "round " << round;
        EXPECT_EQ(RawText(file, "PRAGMA integrity_check"), "ok");
    }
}

TEST_F(SharingTest, AWriterWaitsForALockReleasedWithinTheTimeout) {
    const BusyWaits waits;
    auto o = OpenDefinition(db(), shop(), &notify, nullptr, kLongBusyMs);
    auto holder = std::make_unique<LockHolder>(db());
    ASSERT_TRUE(holder->holds());
    ReleaseWhenWaited other(*holder);
    auto clienti = o.table("Clienti").OpenData();
    EXPECT_TRUE(clienti->AddRow({"Codice", "C9", "Descrizione", "Rossi"}));
    EXPECT_TRUE(other.waited());
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Clienti WHERE Codice='C9'"), 1);
}

TEST_F(SharingTest, ASameValueWriteWhoseRuleWritesWaitsForTheLockToo) {
    auto def = shop();
    bool armed = false;
    def->table("Clienti")->onUpdateField = [&armed](DataSet& ds, const QString& column) {
        if (armed && column == "Descrizione" && ds.ColText("Codice") == "C1")
            ds.OpenTable("Clienti")->AddRow({"Codice", "LOG", "Descrizione", "Scritto"});
    };
    const BusyWaits waits;
    auto o = OpenDefinition(db(), def, &notify, nullptr, kLongBusyMs);
    auto clienti = o.table("Clienti").OpenData();
    ASSERT_TRUE(clienti->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    armed = true;
    auto holder = std::make_unique<LockHolder>(db());
    ASSERT_TRUE(holder->holds());
    ReleaseWhenWaited other(*holder);
    // The same value: the write reads first and needs the lock only for its rule's row.
    bool written = false;
    try {
        written = clienti->SetColValue("Descrizione", "Bianchi");
    } catch (const AppError& e) {
        ADD_FAILURE() << e.number() - vbObjectError << " " << e.description().toStdString();
    }
    EXPECT_TRUE(other.waited());
    EXPECT_TRUE(written);
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Clienti WHERE Codice='LOG'"), 1);
    EXPECT_TRUE(notify.messages.isEmpty());
}

TEST_F(SharingTest, ASameValueWriteMeetingALockAsksItsQuestionOnceAndKeepsTheFirstAnswer) {
    // A user who answers Yes, and would answer No if asked again.
    class FirstYes : public TestNotify {
      public:
        void OnQueryMessage(void* source, int32_t type, const QString& text, bool& cancel) override {
            TestNotify::OnQueryMessage(source, type, text, cancel);
            cancel = questions.size() > 1;
        }
    } user;
    auto def = shop();
    bool armed = false;
    def->table("Clienti")->onUpdateField = [&armed](DataSet& ds, const QString& column) {
        if (!armed || column != "Descrizione" || ds.ColText("Codice") != "C1") return;
        const bool yes = ds.AskQuestion(1, "Registrare la modifica?", true, true);
        ds.ShowMessage("Controllo eseguito");
        if (yes) ds.OpenTable("Clienti")->AddRow({"Codice", "LOG", "Descrizione", "Registrato"});
    };
    const BusyWaits waits;
    auto o = OpenDefinition(db(), def, &user, nullptr, kLongBusyMs);
    auto clienti = o.table("Clienti").OpenData();
    ASSERT_TRUE(clienti->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    armed = true;
    auto holder = std::make_unique<LockHolder>(db());
    ASSERT_TRUE(holder->holds());
    ReleaseWhenWaited other(*holder);
    bool written = false;
    try {
        written = clienti->SetColValue("Descrizione", "Bianchi");
    } catch (const AppError& e) {
        ADD_FAILURE() << e.number() - vbObjectError << " " << e.description().toStdString();
    }
    EXPECT_TRUE(other.waited());
    EXPECT_TRUE(written);
    EXPECT_EQ(Lines(user.questions), "1:Registrare la modifica?");
    EXPECT_EQ(Lines(user.messages), "Controllo eseguito");
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Clienti WHERE Codice='LOG'"), 1);
}

TEST_F(SharingTest, ALockHeldPastTheTimeoutGivesTheBusyErrorAndChangesNothing) {
    auto o = OpenDefinition(db(), shop(), &notify, nullptr, 200);
    auto clienti = o.table("Clienti").OpenData();
    ASSERT_TRUE(clienti->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    LockHolder holder(db());
    ASSERT_TRUE(holder.holds());
    EXPECT_TRUE(RaisesLibraryError([&] { clienti->SetColValue("Descrizione", "Verdi"); }, odb::odbErrBusy));
    EXPECT_EQ(clienti->ColText("Descrizione"), "Bianchi");
    EXPECT_TRUE(
        RaisesLibraryError([&] { o.conn->Execute("UPDATE Clienti SET Descrizione='X'"); }, odb::odbErrBusy));
    EXPECT_TRUE(RaisesLibraryError([&] { o.db->SaveSetting(o.conn, "K", "V"); }, odb::odbErrBusy));
    holder.release();
    EXPECT_EQ(RawText(db(), "SELECT Descrizione FROM Clienti WHERE Codice='C1'"), "Bianchi");
    EXPECT_EQ(RawText(db(), "PRAGMA integrity_check"), "ok");
    clienti->SetColValue("Descrizione", "Verdi");
    EXPECT_TRUE(clienti->SaveRow());
    EXPECT_EQ(RawText(db(), "SELECT Descrizione FROM Clienti WHERE Codice='C1'"), "Verdi");
}

// A field write goes without the write lock while nobody holds it; a lock met by another process,
// or taken between the look and a rule's write, is waited for and said busy as by every write.
TEST_F(SharingTest, AFieldWriteMeetsTheLocksOfOtherProcessesAsEveryWriteDoes) {
    auto o = OpenDefinition(db(), shop(), &notify, nullptr, 200);
    auto clienti = o.table("Clienti").OpenData();
    ASSERT_TRUE(clienti->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    int command[2], answer[2];
    ASSERT_EQ(pipe(command) | pipe(answer), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // 'r': the write lock as a writer takes it; 'p': only the lock of a writer about to write
        // (a journal being rolled back), which keeps new readers out; 'x': all released.
        close(command[1]);
        sqlite3* other = nullptr;
        sqlite3_open_v2(db().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
        const int fd = open(db().toUtf8().constData(), O_RDWR);
        char c = 0;
        while (read(command[0], &c, 1) == 1) {
            bool ok = true;
            if (c == 'r') ok = sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
            if (c == 'p') {
                struct flock pending = {};
                pending.l_type = F_WRLCK;
                pending.l_whence = SEEK_SET;
                pending.l_start = 0x40000000;
                pending.l_len = 1;
                ok = fcntl(fd, F_SETLK, &pending) == 0;
            }
            if (c == 'x') {
                sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
                struct flock none = {};
                none.l_type = F_UNLCK;
                none.l_whence = SEEK_SET;
                ok = fcntl(fd, F_SETLK, &none) == 0;
            }
            const char reply = ok ? 'y' : 'n';
            if (write(answer[1], &reply, 1) != 1) break;
        }
        _exit(0);
    }
    close(command[0]);
    const auto tell = [&](char c) {
        char reply = 0;
        return write(command[1], &c, 1) == 1 && read(answer[0], &reply, 1) == 1 && reply == 'y';
    };
    for (const char lock : {'r', 'p'}) {
        ASSERT_TRUE(tell(lock));
        EXPECT_TRUE(
            RaisesLibraryError([&] { clienti->SetColValue("Descrizione", "Verdi"); }, odb::odbErrBusy))
            << lock;
        EXPECT_EQ(clienti->ColText("Descrizione"), "Bianchi") << lock;
        ASSERT_TRUE(tell('x'));
    }
    EXPECT_TRUE(clienti->SetColValue("Descrizione", "Verdi"));
    EXPECT_TRUE(clienti->SaveRow());
    close(command[1]);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(RawText(db(), "SELECT Descrizione FROM Clienti WHERE Codice='C1'"), "Verdi");
    EXPECT_EQ(RawText(db(), "PRAGMA integrity_check"), "ok");
}

TEST_F(SharingTest, ALockTakenBeforeAFieldWritesRuleWritesIsWaitedForOrSaidBusy) {
    const BusyWaits waits;
    auto def = shop();
    std::unique_ptr<LockHolder> holder;
    std::unique_ptr<ReleaseWhenWaited> other;
    bool armed = false, releaseWhenWaited = false;
    def->table("Clienti")->onUpdateField = [&](DataSet& ds, const QString& column) {
        if (!armed || column != "Descrizione" || ds.ColText("Codice") != "C1") return;
        // Another computer takes the lock after the write began, before the rule writes.
        if (!holder) {
            holder = std::make_unique<LockHolder>(db());
            if (releaseWhenWaited) other = std::make_unique<ReleaseWhenWaited>(*holder);
        }
        ds.OpenTable("Clienti")->AddRow({"Codice", "LOG", "Descrizione", ds.ColText("Descrizione")});
    };
    auto o = OpenDefinition(db(), def, &notify, nullptr, 300);
    auto clienti = o.table("Clienti").OpenData("Codice='C1'");
    ASSERT_TRUE(o.table("Clienti").OpenData()->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    clienti->Requery();
    // Held past the timeout (until the write gives up): busy, nothing written, the row as it was.
    armed = true;
    EXPECT_TRUE(RaisesLibraryError([&] { clienti->SetColValue("Descrizione", "Verdi"); }, odb::odbErrBusy));
    ASSERT_TRUE(holder);
    holder.reset();
    EXPECT_EQ(clienti->ColText("Descrizione"), "Bianchi");
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Clienti WHERE Codice='LOG'"), 0);
    // Released within it, once the write is seen waiting: the write waits, its rule's row is
    // written once, nothing shown.
    o.conn->SetBusyTimeout(kLongBusyMs);
    releaseWhenWaited = true;
    bool written = false;
    try {
        written = clienti->SetColValue("Descrizione", "Verdi");
    } catch (const AppError& e) {
        ADD_FAILURE() << e.number() - vbObjectError << " " << e.description().toStdString();
    }
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->waited());
    EXPECT_TRUE(written);
    EXPECT_EQ(clienti->ColText("Descrizione"), "Verdi");
    EXPECT_EQ(RawText(db(), "SELECT group_concat(Descrizione) FROM Clienti WHERE Codice='LOG'"), "Verdi");
    EXPECT_TRUE(notify.messages.isEmpty());
}

TEST_F(SharingTest, ChangesOfAnotherComputerAreSeenAfterRequery) {
    auto a = OpenDefinition(db(), shop(), &notify);
    auto b = OpenDefinition(db(), shop(), &notify);
    auto mine = a.table("Clienti").OpenData();
    auto theirs = b.table("Clienti").OpenData();
    ASSERT_EQ(mine->RowCount(), 1);
    ASSERT_TRUE(theirs->AddRow({"Codice", "B1", "Descrizione", "Neri"}));
    theirs->RowFirst();
    theirs->SetColValue("Descrizione", "<indefinito>*");
    ASSERT_TRUE(theirs->SaveRow());
    mine->Requery();
    EXPECT_EQ(mine->RowCount(), 2);
    mine->RowFirst();
    EXPECT_EQ(mine->ColText("Descrizione"), "<indefinito>*");
}

// Two computers on one step: the step's cost and its detail's total derive from its minutes.
class TwoComputersTest : public SharingTest {
  protected:
    void SetUp() override {
        SharingTest::SetUp();
        a = OpenDefinition(db(), shop(), &notifyA);
        b = OpenDefinition(db(), shop(), &notify);
        ASSERT_TRUE(
            a.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi", "CostoOrario", 30}));
        auto header = a.table("Commesse").OpenData();
        ASSERT_TRUE(header->AddRow({"Cliente", ""}));
        auto details = header->GetReference("Dettagli");
        ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A1"}));
        ASSERT_TRUE(details->GetReference("Passaggi")->AddRow({"Operaio", "7", "Minuti", 60}));
        stepA = a.table("Passaggi").OpenData();
        stepB = b.table("Passaggi").OpenData();
        ASSERT_EQ(stepB->ColNumber("Minuti"), 60);
    }
    std::string stored() const {
        return RawText(db(),
                       "SELECT p.Minuti || '/' || p.Costo || '/' || d.TempoImpiegato FROM Passaggi p, "
                       "Dettagli d WHERE p._OwnerOID = d.OID")
            .toStdString();
    }
    TestNotify notifyA;
    Opened a, b;
    std::shared_ptr<DataSet> stepA, stepB;
};

TEST_F(TwoComputersTest, ASaveOverAnotherComputersChangeIsRefusedAndShowsTheRowAsStored) {
    // B edits and has not saved yet; A changes the row and saves; B saves.
    for (const char* otherField : {"Minuti", "DataInizio"}) {
        SCOPED_TRACE(otherField);
        notify.messages.clear();
        const double minutes = stepB->ColNumber("Minuti");
        ASSERT_TRUE(stepB->SetColValue("Minuti", minutes + 30));
        EXPECT_EQ(stepB->ColNumber("Costo"), (minutes + 30) / 2);
        if (QString(otherField) == "Minuti")
            ASSERT_TRUE(stepA->SetColValue("Minuti", minutes + 10));
        else
            ASSERT_TRUE(stepA->SetColValue("DataInizio", Variant::fromDate(MakeOleDate(2026, 3, 2, 7, 0))));
        ASSERT_TRUE(stepA->SaveRow());
        const std::string afterA = stored();
        EXPECT_FALSE(stepB->SaveRow());
        EXPECT_EQ(stored(), afterA);
        EXPECT_EQ(Lines(notify.messages), Lines({odb::DbmsGlobal::ErrorText(odb::odbErrRowChanged)}));
        // B now shows the row as stored, and a save from there goes through.
        EXPECT_EQ(stepB->ColNumber("Minuti"), stepA->ColNumber("Minuti"));
        EXPECT_EQ(stepB->ColNumber("Costo"), stepA->ColNumber("Costo"));
        EXPECT_FALSE(stepB->IsChangedRow(0, 0));
        ASSERT_TRUE(stepB->SetColValue("Minuti", 90));
        ASSERT_TRUE(stepB->SaveRow());
        EXPECT_EQ(stored(), "90/450000/90");
    }
}

TEST_F(TwoComputersTest, AFieldReadTakesTheRowAsTheOtherComputerLeftIt) {
    ASSERT_TRUE(stepA->SetColValue("Minuti", 75));
    ASSERT_TRUE(stepA->SaveRow());
    // Reads within one call see one state of the row; the next call takes it as the file holds it.
    EXPECT_EQ(stepB->ColNumber("Minuti"), 60);
    stepB->RowFirst();
    EXPECT_EQ(stepB->ColNumber("Minuti"), 75);
    EXPECT_EQ(stepB->ColValue("Costo").toCurrency().raw(), stepA->ColValue("Costo").toCurrency().raw());
    EXPECT_TRUE(RaisesLibraryError([&] { stepB->ColValue("Inesistente"); }, odb::odbErrUnknownField));
    ASSERT_TRUE(stepA->DeleteRow());
    stepB->RowFirst();
    EXPECT_TRUE(RaisesLibraryError([&] { stepB->ColValue("Minuti"); }, odb::odbErrRowDeleted));
    EXPECT_TRUE(
        RaisesLibraryError([&] { stepB->ColValue(QStringLiteral("Minuti")); }, odb::odbErrRowDeleted));
}

TEST_F(TwoComputersTest, AWriteOnARowAnotherComputerDeletedSaysSoAndChangesNothing) {
    ASSERT_TRUE(stepA->DeleteRow());
    const QString before = RawText(db(), "SELECT count(*) || '/' || TempoImpiegato FROM Dettagli");
    EXPECT_FALSE(stepB->SetColValue("Minuti", 75));
    EXPECT_EQ(Lines(notify.messages), Lines({odb::DbmsGlobal::ErrorText(odb::odbErrRowDeleted)}));
    EXPECT_FALSE(stepB->SaveRow());
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Passaggi"), 0);
    EXPECT_EQ(RawText(db(), "SELECT count(*) || '/' || TempoImpiegato FROM Dettagli"), before);
    EXPECT_EQ(notify.messages.size(), 2);
}

}  // namespace
