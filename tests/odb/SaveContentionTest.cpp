// Several processes saving, editing and deleting children of the same header at once lose no
// contribution, and two processes editing the same row lose none of each other's changes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "OdbTestUtil.h"
#include "odb/DataSet.h"
#include "support/SlowCount.h"
#include "support/TestEnvironment.h"

using namespace odbtest;

namespace {

// What one process did, sent to the parent through a pipe.
struct Contribution {
    int64_t rows = 0;     // steps it added less those it deleted
    int64_t minutes = 0;  // the minutes it added, edited and deleted, as a sum
    int64_t edits = 0;
    int64_t deletions = 0;
    int64_t busy = 0;      // operations tried again because another process held the file
    int64_t refusals = 0;  // saves refused because another process changed the row first
};

class SaveContentionTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        file = path("ZeltoLavrix.mdb");
        TestNotify notify;
        auto o = Open(notify);
        auto header = o.table("Commesse").OpenData();
        ASSERT_TRUE(header->AddRow({"Cliente", ""}));
        auto details = header->GetReference("Dettagli");
        ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A1"}));
        ASSERT_TRUE(details->GetReference("Passaggi")->AddRow({"Minuti", 5}));
    }

    Opened Open(TestNotify& notify) const {
        auto def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        return OpenDefinition(file, def, &notify);
    }

    // Runs `work` in `processes` children started together; each child's contribution comes back.
    std::vector<Contribution> RunChildren(int processes,
                                          const std::function<void(int, Contribution&)>& work) {
        int gate[2], results[2];
        EXPECT_EQ(pipe(gate), 0);
        EXPECT_EQ(pipe(results), 0);
        std::vector<pid_t> children;
        for (int p = 0; p < processes; ++p) {
            const pid_t pid = fork();
            if (pid == 0) {
                close(gate[1]);
                close(results[0]);
                char c;
                if (read(gate[0], &c, 1) < 0) _exit(3);
                Contribution done;
                try {
                    work(p, done);
                } catch (const AppError& e) {
                    std::fprintf(stderr, "child %d: %s\n", p, e.description().toUtf8().constData());
                    _exit(1);
                }
                _exit(write(results[1], &done, sizeof done) == sizeof done ? 0 : 2);
            }
            children.push_back(pid);
        }
        close(gate[0]);
        close(gate[1]);
        close(results[1]);
        for (pid_t pid : children) {
            int status = 0;
            EXPECT_EQ(waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        }
        std::vector<Contribution> out;
        Contribution c;
        while (read(results[0], &c, sizeof c) == sizeof c)
            out.push_back(c);
        close(results[0]);
        EXPECT_EQ(out.size(), static_cast<size_t>(processes));
        return out;
    }

    QString file;
};

// Runs `operation` until it goes through, counting the tries another process made busy; the row's
// pending changes are dropped before each new try.
bool UntilNotBusy(DataSet& ds, Contribution& c, const std::function<bool()>& operation) {
    for (;;) {
        try {
            return operation();
        } catch (const AppError& e) {
            if (!odb::LibraryError::Is(e, odb::odbErrBusy) || ++c.busy > 10000) throw;
            if (ds.IsChangedRow(0, 0)) ds.CancelRow();
        }
    }
}

TEST_F(SaveContentionTest, ConcurrentAddsEditsAndDeletionsAllCount) {
    const int processes = 4, rounds = SlowCount(30, 10);
    const auto done = RunChildren(processes, [&](int p, Contribution& c) {
        TestNotify notify;
        auto o = Open(notify);
        auto details = o.table("DettagliSpeciali").OpenData();
        auto steps = details->GetReference("Passaggi");
        std::vector<Variant> own;
        for (int i = 0; i < rounds; ++i) {
            const int minutes = (p + 1) * (i % 3 + 1);
            if (!UntilNotBusy(*steps, c, [&] { return steps->AddRow({"Minuti", minutes}); })) _exit(4);
            own.push_back(steps->Bookmark());
            c.rows += 1;
            c.minutes += minutes;
            if (i % 3 == 2) {
                // One of its own steps gets ten minutes more.
                const Variant which = own[static_cast<size_t>(i) / 2];
                if (!UntilNotBusy(*steps, c, [&] {
                        if (!steps->GotoBookmark(which)) _exit(6);
                        steps->SetColValue("Minuti", steps->ColNumber("Minuti") + 10);
                        return steps->SaveRow();
                    }))
                    _exit(7);
                c.minutes += 10;
                ++c.edits;
            }
            if (i % 5 == 4) {
                // And its latest but one is deleted.
                const Variant which = own[own.size() - 2];
                int64_t minutesThere = 0;
                if (!UntilNotBusy(*steps, c, [&] {
                        if (!steps->GotoBookmark(which)) _exit(8);
                        minutesThere = static_cast<int64_t>(steps->ColNumber("Minuti"));
                        return steps->DeleteRow();
                    }))
                    _exit(9);
                own.erase(own.end() - 2);
                c.rows -= 1;
                c.minutes -= minutesThere;
                ++c.deletions;
            }
        }
    });
    Contribution total{1, 5};
    for (const Contribution& c : done) {
        total.rows += c.rows;
        total.minutes += c.minutes;
        total.edits += c.edits;
        total.deletions += c.deletions;
        total.busy += c.busy;
    }
    std::printf("[ counts   ] %d processes: %lld steps kept, %lld edits, %lld deletions, %lld busy retries\n",
                processes, static_cast<long long>(total.rows), static_cast<long long>(total.edits),
                static_cast<long long>(total.deletions), static_cast<long long>(total.busy));
    EXPECT_EQ(RawCount(file, "SELECT count(*) FROM Passaggi"), total.rows);
    EXPECT_EQ(RawCount(file, "SELECT sum(Minuti) FROM Passaggi"), total.minutes);
    EXPECT_EQ(RawCount(file, "SELECT TempoImpiegato FROM Dettagli"), total.minutes);
    EXPECT_EQ(RawCount(file, "SELECT TempoTotale FROM Commesse"), total.minutes);
    EXPECT_EQ(RawText(file, "PRAGMA integrity_check"), "ok");
}

TEST_F(SaveContentionTest, TwoProcessesEditingTheSameStepsKeepEveryTotalTrue) {
    // Three steps of a worker at 30.00 an hour: a step's cost is half its minutes.
    {
        TestNotify notify;
        auto o = Open(notify);
        ASSERT_TRUE(
            o.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi", "CostoOrario", 30}));
        auto steps = o.table("DettagliSpeciali").OpenData()->GetReference("Passaggi");
        ASSERT_TRUE(steps->RowFirst() && steps->DeleteRow());
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 10}));
    }
    const int processes = 2, edits = SlowCount(60, 20);
    const auto done = RunChildren(processes, [&](int p, Contribution& c) {
        TestNotify notify;
        auto o = Open(notify);
        auto steps = o.table("DettagliSpeciali").OpenData()->GetReference("Passaggi");
        for (int i = 0; i < edits; ++i) {
            // Both write the same steps with values of their own; the start moves too, so that a
            // row is often changed by the other process between this one's writes and its save.
            const bool saved = UntilNotBusy(*steps, c, [&] {
                steps->RowFirst();
                for (int k = 0; k < i % 3; ++k)
                    steps->RowNext();
                steps->SetColValue("Minuti", 1 + (i * 7 + p * 13) % 90);
                steps->SetColValue("DataInizio", Variant::fromDate(45352 + i + p / 10.0));
                return steps->SaveRow();
            });
            if (saved) {
                ++c.edits;
            } else {
                if (notify.messages.value(notify.messages.size() - 1) !=
                    odb::DbmsGlobal::ErrorText(odb::odbErrRowChanged))
                    _exit(10);
                ++c.refusals;
            }
        }
    });
    int64_t saved = 0, refusals = 0, busy = 0;
    for (const Contribution& c : done) {
        saved += c.edits;
        refusals += c.refusals;
        busy += c.busy;
    }
    std::printf("[ counts   ] %d processes, %d edits each: %lld saved, %lld refused, %lld busy retries\n",
                processes, edits, static_cast<long long>(saved), static_cast<long long>(refusals),
                static_cast<long long>(busy));
    EXPECT_EQ(saved + refusals, processes * edits);
    // Every derived value follows the stored minutes: none was booked from a row gone stale.
    EXPECT_EQ(RawCount(file, "SELECT count(*) FROM Passaggi WHERE Costo <> Minuti * 5000"), 0);
    const int64_t minutes = RawCount(file, "SELECT sum(Minuti) FROM Passaggi");
    EXPECT_EQ(RawCount(file, "SELECT TempoImpiegato FROM Dettagli"), minutes);
    EXPECT_EQ(RawCount(file, "SELECT TempoTotale FROM Commesse"), minutes);
    EXPECT_EQ(RawCount(file, "SELECT Costo FROM Dettagli"),
              RawCount(file, "SELECT sum(Costo) FROM Passaggi"));
    EXPECT_EQ(RawCount(file, "SELECT CostoTotale FROM Commesse"),
              RawCount(file, "SELECT sum(Costo) FROM Passaggi"));
}

}  // namespace
