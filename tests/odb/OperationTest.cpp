// All-or-nothing operations: refusals and errors deep in a cascade, guards, questions, shared row
// buffers, re-entered saves, user transactions and the row states the rules read.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "OdbTestUtil.h"
#include "base/DateUtil.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

class OperationTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        o = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
        header = o.table("Commesse").OpenData();
        ASSERT_TRUE(header->AddRow({"Cliente", ""}));
        details = header->GetReference("Dettagli");
        ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A0001/001"}));
        steps = details->GetReference("Passaggi");
        ASSERT_TRUE(steps->AddRow({"Minuti", 20}));
        def->log.clear();
    }
    QString file() const { return path("ZeltoLavrix.mdb"); }
    int64_t raw(const QString& sql) const { return RawCount(file(), sql); }
    // Every stored value of the three levels, to compare before and after.
    QString snapshot() const {
        return RawText(
            file(),
            "SELECT group_concat(v, ';') FROM (SELECT 'P' || OID || ':' || Minuti AS v FROM Passaggi "
            "UNION ALL SELECT 'D' || OID || ':' || TempoImpiegato FROM Dettagli "
            "UNION ALL SELECT 'C' || OID || ':' || TempoTotale FROM Commesse)");
    }

    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
    std::shared_ptr<DataSet> header, details, steps;
};

TEST_F(OperationTest, ARefusalThreeLevelsDownLeavesEveryRowAndTheFileUnchanged) {
    def->table("Commesse")->onUpdateRow = [](DataSet& ds) {
        if (ds.ColNumber("TempoTotale") > 100) ds.RejectChange("Tempo eccessivo", 0);
    };
    const QString before = snapshot();
    EXPECT_FALSE(steps->AddRow({"Minuti", 500}));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(Lines(notify.messages), "Tempo eccessivo");
    // The buffers are as they were: the data sets still read the stored totals.
    EXPECT_EQ(details->ColNumber("TempoImpiegato"), 20);
    EXPECT_EQ(header->ColNumber("TempoTotale"), 20);
    EXPECT_EQ(steps->RowCount(), 1);
    EXPECT_FALSE(steps->IsNewRow());
    // The identity the refused row had is given out again: it must not bring the refused values.
    ASSERT_TRUE(steps->AddRow({"Minuti", 5}));
    const Variant again = steps->Bookmark();
    EXPECT_EQ(o.table("Passaggi").OpenData("OID=" + again.toText())->ColNumber("Minuti"), 5);
    ASSERT_TRUE(steps->DeleteRow());
    const QString before2 = snapshot();
    ASSERT_EQ(before2, before);
    // A stored step edited past the limit is refused the same way.
    steps->RowFirst();
    EXPECT_TRUE(steps->SetColValue("Minuti", 300));
    EXPECT_FALSE(steps->SaveRow());
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(header->ColNumber("TempoTotale"), 20);
    EXPECT_EQ(notify.messages.size(), 2);
    // Once within the limit it goes through.
    steps->SetColValue("Minuti", 60);
    EXPECT_TRUE(steps->SaveRow());
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 60);
}

TEST_F(OperationTest, AnErrorInsideAGuardedRuleLeavesTheGuardFreeAndTheFileUnchanged) {
    bool seenLocked = true;
    def->table("Dettagli")->onUpdateRow = [](DataSet& ds) {
        if (!ds.LockGuard("Totali")) return;
        try {
            if (ds.ColNumber("TempoImpiegato") > 100)
                throw AppError(kAppErrorNumber, "test", "guasto nella regola");
        } catch (const AppError& e) {
            SaveErrorInfo(e);
            ds.UnlockGuard("Totali");
            RaiseSavedError();
        }
        ds.UnlockGuard("Totali");
    };
    def->table("Dettagli")->onBeforeUpdateField = [&](DataSet& ds, const QString&) {
        seenLocked = ds.IsGuardLocked("Totali");
    };
    const QString before = snapshot();
    try {
        steps->AddRow({"Minuti", 500});
        FAIL() << "the error should reach the caller";
    } catch (const AppError& e) {
        EXPECT_EQ(e.description(), "guasto nella regola");
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(details->IsGuardLocked("Totali"));
    steps->RowFirst();
    steps->SetColValue("Minuti", 25);
    EXPECT_TRUE(steps->SaveRow());
    EXPECT_FALSE(seenLocked);
}

TEST_F(OperationTest, AGuardTakenWithoutReleaseIsFreedWhenTheOperationFails) {
    def->table("Dettagli")->onUpdateRow = [](DataSet& ds) {
        ASSERT_TRUE(ds.LockGuard("Tenuta"));
        ds.RejectChange("No", 0);
    };
    EXPECT_FALSE(steps->AddRow({"Minuti", 5}));
    EXPECT_FALSE(details->IsGuardLocked("Tenuta"));
}

TEST_F(OperationTest, GuardsAreHeldPerRowAndSeenByEveryDataSetOnIt) {
    auto same = o.table("Dettagli").OpenData("NumeroCommessa='A0001/001'");
    ASSERT_TRUE(details->LockGuard("QM"));
    EXPECT_TRUE(same->IsGuardLocked("QM"));
    EXPECT_FALSE(same->LockGuard("QM"));
    ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A0001/002"}));
    EXPECT_FALSE(details->IsGuardLocked("QM"));  // another row
    same->UnlockGuard("QM");
    details->RowFirst();
    EXPECT_FALSE(details->IsGuardLocked("QM"));
}

TEST_F(OperationTest, AGuardTakenOnANewRowStaysWithItOnceStored) {
    bool lockedAfterStore = false;
    def->table("Passaggi")->onNewRow = [](DataSet& ds) { ASSERT_TRUE(ds.LockGuard("Nuovo")); };
    def->table("Dettagli")->onUpdateReference = [&](DataSet&, DataSet& step, const QString&, bool) {
        if (!step.NoCurrentRow()) lockedAfterStore = step.IsGuardLocked("Nuovo");
    };
    ASSERT_TRUE(steps->AddRow({"Minuti", 1}));
    EXPECT_TRUE(lockedAfterStore);
    EXPECT_TRUE(steps->IsGuardLocked("Nuovo"));
    steps->UnlockGuard("Nuovo");
    EXPECT_FALSE(steps->IsGuardLocked("Nuovo"));
}

TEST_F(OperationTest, RowsStoredBesideAGuardLeaveItOnItsRow) {
    // Stored while another row holds a guard: the guard stays where it was.
    ASSERT_TRUE(details->LockGuard("QM"));
    ASSERT_TRUE(steps->AddRow({"Minuti", 2}));
    EXPECT_FALSE(steps->IsGuardLocked("QM"));
    EXPECT_TRUE(details->IsGuardLocked("QM"));
    details->UnlockGuard("QM");
    // Stored with no guard held anywhere: the row takes and frees one of its own afterwards.
    ASSERT_TRUE(steps->AddRow({"Minuti", 3}));
    ASSERT_TRUE(steps->LockGuard("QM"));
    EXPECT_TRUE(o.table("Passaggi").OpenData("OID=" + steps->Bookmark().toText())->IsGuardLocked("QM"));
    EXPECT_FALSE(details->IsGuardLocked("QM"));
    steps->UnlockGuard("QM");
    EXPECT_FALSE(steps->IsGuardLocked("QM"));
}

TEST_F(OperationTest, AGuardOfANewRowGoesWithTheRowCancelledOrDropped) {
    // New rows come and go as a record window adds and cancels them; none finds a guard it never took.
    for (int round = 0; round < 50; ++round) {
        auto fresh = details->GetReference("Passaggi");
        ASSERT_TRUE(fresh->NewRow());
        EXPECT_FALSE(fresh->IsGuardLocked("Nuovo")) << "round " << round;
        ASSERT_TRUE(fresh->LockGuard("Nuovo"));
        if (round % 2) {
            fresh->CancelRow();
            ASSERT_TRUE(fresh->NewRow());
            EXPECT_FALSE(fresh->IsGuardLocked("Nuovo")) << "round " << round;
        }
    }
    steps->RowFirst();
    EXPECT_FALSE(steps->IsGuardLocked("Nuovo"));
}

TEST_F(OperationTest, TwoDataSetsOnOneRowInsideOneSaveBothKeepTheirWrites) {
    auto parts = o.table("Magazzino").OpenData();
    ASSERT_TRUE(parts->AddRow({"Codice", "P1", "Descrizione", "Vite"}));
    const Variant part = parts->Bookmark();
    // The step's save writes the part through two data sets of its own.
    def->table("Passaggi")->onUpdateRow = [&](DataSet& ds) {
        auto a = ds.OpenTable("Magazzino", "Codice='P1'");
        auto b = ds.GetDatabase().Tables().Item("Magazzino").OpenData();
        ASSERT_TRUE(b->FindBookmark(part));
        a->SetColValue("Giacenza", a->ColNumber("Giacenza") + 3);
        b->SetColValue("Descrizione", "Vite M4");
        EXPECT_EQ(b->ColNumber("Giacenza"), 3);
        ASSERT_TRUE(a->SaveRow());
        b->AddToCol("Giacenza", 1);
        ASSERT_TRUE(b->SaveRow());
    };
    ASSERT_TRUE(steps->AddRow({"Minuti", 1}));
    EXPECT_EQ(raw("SELECT Giacenza FROM Magazzino"), 4);
    EXPECT_EQ(RawText(file(), "SELECT Descrizione FROM Magazzino"), "Vite M4");
}

TEST_F(OperationTest, AReEnteredSaveCountsOnce) {
    int stored = 0;
    def->table("Dettagli")->onUpdateRow = [&](DataSet& ds) {
        ++stored;
        // A rule saving its own row again while the save is under way changes nothing.
        EXPECT_TRUE(ds.SaveRow());
    };
    ASSERT_TRUE(steps->AddRow({"Minuti", 10}));
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 30);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 30);
}

TEST_F(OperationTest, CancelToAKindZeroQuestionChangesNothing) {
    def->table("Passaggi")->onUpdateRow = [](DataSet& ds) { ds.AskQuestion(0, "Confermi?", false, false); };
    notify.answerCancel = true;
    const QString before = snapshot();
    EXPECT_FALSE(steps->AddRow({"Minuti", 10}));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(Lines(notify.questions), "0:Confermi?");
    EXPECT_TRUE(notify.messages.isEmpty());  // silently
    notify.answerCancel = false;
    EXPECT_TRUE(steps->AddRow({"Minuti", 10}));
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 30);
}

TEST_F(OperationTest, QuestionsThatReadTheirAnswerOrOnlyInformRefuseNothing) {
    struct Case {
        int kind;
        bool readAnswer;
        bool cancel;
        bool expectAnswer;
        bool expectStored;
    };
    const std::vector<Case> cases = {
        {1, true, true, false, true},  {1, true, false, true, true},   {0, true, true, false, true},
        {1, false, true, false, true}, {2, false, true, false, false}, {2, false, false, true, true},
    };
    for (const auto& c : cases) {
        bool answer = !c.expectAnswer;
        def->table("Passaggi")->onUpdateRow = [&](DataSet& ds) {
            answer = ds.AskQuestion(c.kind, "Domanda", true, c.readAnswer);
        };
        notify.answerCancel = c.cancel;
        const int64_t before = raw("SELECT count(*) FROM Passaggi");
        EXPECT_EQ(steps->AddRow({"Minuti", 1}), c.expectStored) << c.kind << c.readAnswer << c.cancel;
        if (c.expectStored) {
            EXPECT_EQ(answer, c.expectAnswer) << c.kind << c.readAnswer << c.cancel;
        }
        EXPECT_EQ(raw("SELECT count(*) FROM Passaggi") - before, c.expectStored ? 1 : 0);
    }
}

TEST_F(OperationTest, ARefusedFieldWriteKeepsTheOldValue) {
    def->table("Passaggi")->onBeforeUpdateField = [](DataSet& ds, const QString& c) {
        if (c == "Minuti" && ds.ColNumber("Minuti") == 20) ds.RejectChange("Passaggio chiuso", 0);
    };
    steps->RowFirst();
    EXPECT_FALSE(steps->SetColValue("Minuti", 45));
    EXPECT_EQ(steps->ColNumber("Minuti"), 20);
    EXPECT_FALSE(steps->IsChangedRow(0, 0));
    EXPECT_FALSE(steps->RowStateFlag(0, 0));
    EXPECT_EQ(Lines(notify.messages), "Passaggio chiuso");
}

TEST_F(OperationTest, ShowMessageInformsWithoutRefusing) {
    def->table("Passaggi")->onUpdateRow = [](DataSet& ds) { ds.ShowMessage("Attenzione"); };
    EXPECT_TRUE(steps->AddRow({"Minuti", 1}));
    EXPECT_EQ(Lines(notify.messages), "Attenzione");
}

TEST_F(OperationTest, InsideAUserTransactionEachOperationIsASavepoint) {
    def->table("Commesse")->onUpdateRow = [](DataSet& ds) {
        if (ds.ColNumber("TempoTotale") > 100) ds.RejectChange("Tempo eccessivo", 0);
    };
    o.conn->BeginTrans();
    EXPECT_TRUE(steps->AddRow({"Minuti", 30}));
    EXPECT_FALSE(steps->AddRow({"Minuti", 500}));  // only this one is undone
    EXPECT_TRUE(steps->AddRow({"Minuti", 5}));
    o.conn->CommitTrans();
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 55);
    EXPECT_EQ(raw("SELECT count(*) FROM Passaggi"), 3);

    o.conn->BeginTrans();
    EXPECT_TRUE(steps->AddRow({"Minuti", 7}));
    o.conn->RollbackTrans();
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 55);
    EXPECT_EQ(raw("SELECT count(*) FROM Passaggi"), 3);
    header->Requery();
    EXPECT_EQ(header->ColNumber("TempoTotale"), 55);
    EXPECT_TRUE(RaisesLibraryError([&] { o.conn->CommitTrans(); }, odb::odbErrTransaction));
}

TEST_F(OperationTest, InsideAUserTransactionARowRefusedOnceStoredLeavesNoTraceNorNumber) {
    // Refused after the step is in the file: by its owner before anything else is written, or by
    // the job order once the detail's total was written too.
    for (const bool byJobOrder : {false, true}) {
        SCOPED_TRACE(byJobOrder ? "refused by the job order" : "refused by the detail");
        const auto refuse = [](DataSet& ds, const char* field, double limit) {
            if (ds.ColNumber(field) > limit) ds.RejectChange("Troppo", 0);
        };
        def->table("Dettagli")->onUpdateReference = [book = def->table("Dettagli")->onUpdateReference,
                                                     byJobOrder, refuse](DataSet& ds, DataSet& step,
                                                                         const QString& name, bool isDelete) {
            if (!byJobOrder && !step.NoCurrentRow()) refuse(step, "Minuti", 100);
            book(ds, step, name, isDelete);
        };
        def->table("Commesse")->onUpdateRow = [byJobOrder, refuse](DataSet& ds) {
            if (byJobOrder) refuse(ds, "TempoTotale", 300);
        };
        const QString numbers =
            RawText(file(), "SELECT group_concat(name || '=' || seq) FROM sqlite_sequence");
        const int64_t next = raw("SELECT max(OID) FROM Passaggi") + 1;
        const int64_t total = raw("SELECT TempoTotale FROM Commesse");
        o.conn->BeginTrans();
        EXPECT_FALSE(steps->AddRow({"Minuti", 500}));
        o.conn->CommitTrans();
        EXPECT_EQ(RawText(file(), "SELECT group_concat(name || '=' || seq) FROM sqlite_sequence"), numbers);
        EXPECT_EQ(raw("SELECT max(OID) FROM Passaggi"), next - 1);
        // The numbers go on as if nothing had been refused; the totals are the stored rows'.
        o.conn->BeginTrans();
        EXPECT_FALSE(steps->AddRow({"Minuti", 400}));
        EXPECT_TRUE(steps->AddRow({"Minuti", 3}));
        EXPECT_EQ(steps->ColNumber("OID"), next);
        o.conn->CommitTrans();
        EXPECT_EQ(raw("SELECT max(OID) FROM Passaggi"), next);
        EXPECT_EQ(raw("SELECT seq FROM sqlite_sequence WHERE name='Passaggi'"), next);
        EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), total + 3);
        EXPECT_EQ(raw("SELECT sum(Minuti) FROM Passaggi"), total + 3);
    }
}

TEST_F(OperationTest, ARuleAddingAFirstRowThenRefusedInsideAUserTransactionLeavesTheTableUnnumbered) {
    // The only write of the refused operation is a table's first row: the file forgets its number.
    def->table("Commesse")->onUpdateField = [](DataSet& ds, const QString& column) {
        if (column != "Progressivo") return;
        ds.OpenTable("Magazzino")->AddRow({"Codice", "M" + ds.ColText("Progressivo")});
        if (ds.ColNumber("Progressivo") == 77) ds.RejectChange("Rifiutato", 0);
    };
    ASSERT_EQ(raw("SELECT count(*) FROM Magazzino"), 0);
    o.conn->BeginTrans();
    EXPECT_FALSE(header->SetColValue("Progressivo", 77));
    o.conn->CommitTrans();
    EXPECT_EQ(raw("SELECT count(*) FROM Magazzino"), 0);
    EXPECT_EQ(raw("SELECT count(*) FROM sqlite_sequence WHERE name='Magazzino'"), 0);
    o.conn->BeginTrans();
    EXPECT_TRUE(header->SetColValue("Progressivo", 78));
    o.conn->RollbackTrans();
    EXPECT_EQ(raw("SELECT count(*) FROM Magazzino"), 0);
    o.conn->BeginTrans();
    EXPECT_TRUE(header->SetColValue("Progressivo", 79));
    o.conn->CommitTrans();
    EXPECT_EQ(RawText(file(), "SELECT group_concat(OID || ':' || Codice) FROM Magazzino"), "1:M79");
    EXPECT_EQ(raw("SELECT seq FROM sqlite_sequence WHERE name='Magazzino'"), 1);
}

TEST_F(OperationTest, RollbackActionsRunWhenTheWriteThatAskedForThemIsUndone) {
    // A rule that renames something outside the file asks for it to be put back on a rollback.
    QStringList undone;
    int limit = 100;
    def->table("Commesse")->onUpdateRow = [&](DataSet& ds) {
        const QString label = QString::number(ds.ColNumber("TempoTotale"));
        ds.GetConnection()->OnRollback([&undone, label] { undone << label; });
        if (ds.ColNumber("TempoTotale") > limit) ds.RejectChange("Tempo eccessivo", 0);
    };
    EXPECT_FALSE(steps->AddRow({"Minuti", 500}));
    EXPECT_EQ(Lines(undone), "520");
    EXPECT_TRUE(steps->AddRow({"Minuti", 10}));  // committed: never undone
    EXPECT_EQ(Lines(undone), "520");

    // Inside a user transaction a committed operation is undone by the RollbackTrans around it,
    // last first, and one refused inside it at once.
    undone.clear();
    o.conn->BeginTrans();
    EXPECT_TRUE(steps->AddRow({"Minuti", 5}));
    EXPECT_FALSE(steps->AddRow({"Minuti", 100}));
    EXPECT_EQ(Lines(undone), "135");
    EXPECT_TRUE(steps->AddRow({"Minuti", 6}));
    o.conn->RollbackTrans();
    EXPECT_EQ(Lines(undone), "135\n41\n35");
    undone.clear();
    o.conn->BeginTrans();
    EXPECT_TRUE(steps->AddRow({"Minuti", 5}));
    o.conn->CommitTrans();
    EXPECT_TRUE(undone.isEmpty());
    // Asked outside any write, it is an error: nothing would ever run it.
    EXPECT_TRUE(RaisesLibraryError([&] { o.conn->OnRollback([] {}); }, odb::odbErrTransaction));
    // Closing the file with a transaction open rolls it back, actions included.
    o.conn->BeginTrans();
    EXPECT_TRUE(steps->AddRow({"Minuti", 1}));
    o.conn->CloseConnection();
    EXPECT_EQ(Lines(undone), "36");
}

// True when another computer can take the write lock now.
bool OthersCanWrite(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const bool ok = sqlite3_exec(db, "BEGIN IMMEDIATE; ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

TEST_F(OperationTest, TransactionsARuleLeavesUnbalancedFailItsOperationAndHoldNoLock) {
    const QString before = snapshot();
    auto fails = [&](const std::function<void(odb::Connection&)>& rule) {
        def->table("Dettagli")->onUpdateRow = [rule](DataSet& ds) { rule(*ds.GetConnection()); };
        try {
            steps->AddRow({"Minuti", 5});
            return false;
        } catch (const AppError& e) {
            EXPECT_TRUE(e.description().contains("transazion")) << e.description().toStdString();
            return odb::LibraryError::Is(e, odb::odbErrTransaction);
        }
    };
    EXPECT_TRUE(fails([](odb::Connection& c) { c.BeginTrans(); }));
    EXPECT_EQ(o.conn->TransLevel(), 0);
    EXPECT_FALSE(o.conn->InTransaction());
    EXPECT_TRUE(OthersCanWrite(file()));
    EXPECT_TRUE(fails([](odb::Connection& c) { c.Execute("COMMIT"); }));
    EXPECT_TRUE(fails([](odb::Connection& c) { c.GetAdoConnection().Execute("BEGIN", nullptr, -1); }));
    EXPECT_EQ(snapshot(), before);
    // Inside the user's transaction a rule may not close a level it did not open.
    o.conn->BeginTrans();
    EXPECT_TRUE(fails([](odb::Connection& c) { c.CommitTrans(); }));
    EXPECT_TRUE(fails([](odb::Connection& c) { c.RollbackTrans(); }));
    EXPECT_EQ(o.conn->TransLevel(), 1);
    o.conn->RollbackTrans();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(OthersCanWrite(file()));
    // Balanced levels are the rule's own business.
    def->table("Dettagli")->onUpdateRow = [](DataSet& ds) {
        ds.GetConnection()->BeginTrans();
        ds.GetConnection()->CommitTrans();
    };
    EXPECT_TRUE(steps->AddRow({"Minuti", 7}));
    // A transaction found open where none should be is an error, not a silent rollback.
    def->table("Dettagli")->onUpdateRow = nullptr;
    ASSERT_EQ(sqlite3_exec(o.conn->handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_TRUE(RaisesLibraryError([&] { steps->AddRow({"Minuti", 8}); }, odb::odbErrTransaction));
    EXPECT_FALSE(o.conn->InTransaction());
    EXPECT_TRUE(steps->AddRow({"Minuti", 9}));
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 20 + 7 + 9);
}

TEST_F(OperationTest, RowStatesMeanWhatTheRulesReadInThem) {
    std::vector<bool> silentSeen, flagSeen;
    def->table("Passaggi")->onUpdateRow = [&](DataSet& ds) {
        silentSeen.push_back(ds.IsSilent());
        flagSeen.push_back(ds.RowStateFlag(0, 0));
    };
    // A rule's write (OnNewRow, AddRow's pairs) is no user edit.
    ASSERT_TRUE(steps->AddRow({"Minuti", 1}));
    // A user's edit of the row is.
    steps->SetColValue("Minuti", 4);
    EXPECT_TRUE(steps->RowStateFlag(0, 0));
    ASSERT_TRUE(steps->SaveRow());
    EXPECT_FALSE(steps->RowStateFlag(0, 0));
    EXPECT_EQ(flagSeen, std::vector<bool>({false, true}));
    EXPECT_EQ(silentSeen, std::vector<bool>({false, false}));
    // IsChangedRow only for a stored row whose reference changed.
    EXPECT_FALSE(steps->IsChangedRow(0, 0));
    ASSERT_TRUE(o.table("Operai").OpenData()->AddRow({"Codice", "9", "Nominativo", "Neri"}));
    steps->SetReference("Operaio", "9");
    EXPECT_TRUE(steps->IsChangedRow(0, 0));
    steps->CancelRow();
    EXPECT_FALSE(steps->IsChangedRow(0, 0));
    EXPECT_TRUE(steps->ReferenceEmpty("Operaio"));
}

TEST_F(OperationTest, ImportRowsIsSilentSkipsNumberingAndRaisesTheOwnerEventsOnce) {
    // Rows of another job order's collection copied into this one.
    auto other = o.table("Commesse").OpenData();
    ASSERT_TRUE(other->AddRow({"Cliente", ""}));
    auto source = other->GetReference("Dettagli");
    ASSERT_TRUE(source->AddRow({"NumeroCommessa", "B1", "SottoProgressivo", 7}));
    ASSERT_TRUE(source->AddRow({"NumeroCommessa", "B2", "SottoProgressivo", 8}));
    std::vector<bool> skip, silent;
    def->table("DettagliSpeciali")->onNewRow = [&](DataSet& ds) {
        skip.push_back(ds.EventSource().SkipNumbering());
        silent.push_back(ds.IsSilent());
    };
    def->log.clear();
    source->RowFirst();
    EXPECT_EQ(source->ImportRows(*details), 2);
    EXPECT_EQ(skip, std::vector<bool>({true, true}));
    EXPECT_EQ(silent, std::vector<bool>({true, true}));
    EXPECT_EQ(def->log.filter("Commesse.OnBeforeUpdateReference").size(), 1);
    EXPECT_EQ(def->log.filter("Commesse.OnUpdateReference").size(), 1);
    EXPECT_EQ(details->RowCount(), 3);
    EXPECT_EQ(raw("SELECT count(*) FROM DettagliSpeciali WHERE SottoProgressivo IN (7,8)"), 4);
}

TEST_F(OperationTest, ARefusedImportCopiesNothingAndSaysSoApartFromAnImportOfKnownRows) {
    auto other = o.table("Commesse").OpenData();
    ASSERT_TRUE(other->AddRow({"Cliente", ""}));
    auto source = other->GetReference("Dettagli");
    ASSERT_TRUE(source->AddRow({"NumeroCommessa", "B1", "SottoProgressivo", 7}));
    ASSERT_TRUE(source->AddRow({"NumeroCommessa", "B2", "SottoProgressivo", 8}));
    def->table("DettagliSpeciali")->onUpdateRow = [](DataSet& ds) {
        if (ds.ColNumber("SottoProgressivo") == 8) ds.RejectChange("Riga rifiutata", 0);
    };
    const QString before = snapshot();
    EXPECT_EQ(source->ImportRows(*details), -1);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(Lines(notify.messages), "Riga rifiutata");
    // Rows the destination holds already: nothing copied, and no failure.
    def->table("DettagliSpeciali")->onUpdateRow = nullptr;
    ASSERT_EQ(source->ImportRows(*details), 2);
    EXPECT_EQ(source->ImportRows(*details), 0);
}

TEST_F(OperationTest, EquivalentRowsAreOrphansCollidingOnAUniqueIndex) {
    // An orphan left by a crash of the old system: no owner, same sub-number.
    o.conn->Execute(
        "INSERT INTO Dettagli (OID, NumeroCommessa, _Derived) VALUES (90, 'X', 'DettagliSpeciali')");
    o.conn->Execute("INSERT INTO DettagliSpeciali (OID, SottoProgressivo) VALUES (90, 2)");
    std::shared_ptr<DataSet> equivalent;
    def->table("DettagliSpeciali")->onUpdateRow = [&](DataSet& ds) {
        if (ds.IsNewRow()) equivalent = ds.EquivalentRows("", 0, 0);
    };
    ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A0001/002"}));
    ASSERT_TRUE(equivalent);
    ASSERT_EQ(equivalent->RowCount(), 1);
    EXPECT_EQ(equivalent->Bookmark().toLong(), 90);
}

TEST_F(OperationTest, ADuplicateKeyIsAClearErrorAndChangesNothing) {
    auto clienti = o.table("Clienti").OpenData();
    const QString before = RawText(file(), "SELECT group_concat(Codice || '=' || Descrizione) FROM Clienti");
    try {
        clienti->AddRow({"Codice", "X", "Descrizione", "<indefinito>"});
        FAIL() << "a second <indefinito> must be refused";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), vbObjectError + odb::odbErrDuplicateKey);
        EXPECT_TRUE(e.description().startsWith(odb::DbmsGlobal::ErrorText(odb::odbErrDuplicateKey)));
        EXPECT_TRUE(e.description().contains("Clienti.Descrizione"));
    }
    EXPECT_EQ(RawText(file(), "SELECT group_concat(Codice || '=' || Descrizione) FROM Clienti"), before);
    EXPECT_EQ(clienti->RowCount(), 1);
    // Rows changed by SQL of the rules are read again.
    o.conn->Execute("UPDATE Clienti SET Codice='Z'");
    clienti->Requery();
    EXPECT_EQ(clienti->ColText("Codice"), "Z");
}

TEST_F(OperationTest, AggregatesAndValueReads) {
    ASSERT_TRUE(steps->AddRow({"Minuti", 15}));
    EXPECT_EQ(steps->Aggregate("Minuti", 0).toLong(), 35);
    EXPECT_EQ(steps->Aggregate("Minuti", 2).toLong(), 20);
    EXPECT_EQ(steps->Aggregate("Minuti * 2 + 1", 0).toDouble(), 72);
    auto none = o.table("Passaggi").OpenData("Minuti > 1000");
    EXPECT_EQ(none->Aggregate("Minuti", 0).toLong(), 0);
    EXPECT_EQ(none->Aggregate("Minuti", 2).toLong(), 0);
    EXPECT_TRUE(none->DataEmpty());
    EXPECT_TRUE(none->RowInvalid());
    EXPECT_TRUE(none->NoCurrentRow());
    // Null reads as 0, False and "".
    steps->RowFirst();
    steps->SetColValue("DataInizio", Variant::null());
    EXPECT_TRUE(steps->ColIsNull("DataInizio"));
    EXPECT_EQ(steps->ColNumber("DataInizio"), 0);
    EXPECT_EQ(steps->ColText("DataInizio"), "");
    EXPECT_EQ(steps->FormattedColValue("DataInizio"), "");
    EXPECT_TRUE(RaisesLibraryError([&] { steps->ColValue("Nessuno"); }, odb::odbErrUnknownField));
    EXPECT_TRUE(RaisesLibraryError([&] { steps->AddRow({"Minuti"}); }, odb::odbErrBadValue));
}

TEST_F(OperationTest, WholeNumberFieldsHoldWhatALongHoldsAndRoundAlikeBothWays) {
    steps->RowFirst();
    for (const Variant& big : {Variant(1e20), Variant(-1e20), Variant(2147483648.0), Variant("1e20"),
                               Variant(int64_t{5000000000})}) {
        try {
            steps->SetColValue("Minuti", big);
            ADD_FAILURE() << "no overflow for " << big.toText().toStdString();
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), 6) << big.toText().toStdString();
        }
        EXPECT_EQ(steps->ColNumber("Minuti"), 20);
    }
    EXPECT_TRUE(steps->SaveRow());
    EXPECT_EQ(raw("SELECT Minuti FROM Passaggi"), 20);
    struct Case {
        Variant written;
        int64_t kept;
    };
    for (const Case& c : {Case{2147483647.0, 2147483647}, Case{-2147483648.0, -2147483648LL}, Case{2.5, 2},
                          Case{3.5, 4}, Case{-7.5, -8}}) {
        ASSERT_TRUE(steps->SetColValue("Minuti", c.written));
        EXPECT_EQ(steps->ColValue("Minuti").intValue(), c.kept) << c.written.toText().toStdString();
    }
    // Values another program left in the file read as the write would have stored them.
    const std::vector<std::pair<QString, int64_t>> stored = {
        {"2.5", 2}, {"3.5", 4}, {"2.7", 3}, {"'12.5'", 12}};
    for (const auto& [literal, kept] : stored) {
        o.conn->Execute("UPDATE Passaggi SET Minuti=" + literal);
        steps->Requery();
        EXPECT_EQ(steps->ColValue("Minuti").intValue(), kept) << literal.toStdString();
    }
}

TEST_F(OperationTest, ConditionsSelectThroughPathsAndTakeTextsAsValues) {
    ASSERT_TRUE(o.table("Clienti").OpenData()->AddRow({"Codice", "C1", "Descrizione", "D'Angelo"}));
    header->SetReference("Cliente", "C1");
    ASSERT_TRUE(header->SaveRow());
    ASSERT_TRUE(o.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi"}));
    steps->RowFirst();
    steps->SetReference("Operaio", "7");
    steps->SetColValue("DataInizio", Variant::fromDate(MakeOleDate(2024, 3, 7, 8, 30, 0)));
    ASSERT_TRUE(steps->SaveRow());
    struct Case {
        const char* table;
        const char* where;
        int rows;
    };
    const std::vector<Case> cases = {
        {"Passaggi", "Operaio.Codice='7'", 1},            // a reference's target field
        {"Passaggi", "Operai.Nominativo Like 'ro*'", 1},  // a referenced table
        {"Passaggi", "Operaio='Rossi'", 1},               // a reference by its display value
        {"Commesse", "Cliente='D''Angelo'", 1},
        {"DettagliSpeciali", "Commesse.Progressivo=1", 1},                     // the container
        {"Dettagli", "DettagliSpeciali.SottoProgressivo=1", 1},                // the derived extension
        {"DettagliSpeciali", "NumeroCommessa='A0001/001' AND Not Chiuso", 1},  // a base field
        {"Passaggi", "Month(DataInizio)=3 AND Year(DataInizio)=2024", 1},
        {"Passaggi", "DataInizio >= #03/07/2024 08:30:00# and DataInizio < #03/08/2024#", 1},
        {"Passaggi", "#03/08/2024# < DataInizio", 0},  // the literal on the left
        {"Passaggi", "Operaio.OID IN (SELECT OID FROM Operai WHERE Codice='7')", 1},
        {"Passaggi", "ISNULL(Operaio) OR (Minuti > 100)", 0},
        {"Passaggi", "Operaio.Codice & '-' & Operaio.Nominativo = '7-Rossi'", 1},
        {"Commesse", "Cliente=' OR 1=1 --'", 0},
        {"Clienti", "Descrizione=' OR 1=1 --'", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(o.table(c.table).OpenData(c.where)->RowCount(), c.rows) << c.table << ": " << c.where;
    EXPECT_THROW(o.table("Passaggi").OpenData("Minuti = = 3"), AppError);
}

}  // namespace
