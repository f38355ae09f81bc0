// A process killed at random points of cascading saves never leaves half-booked totals behind.
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>

#include "OdbTestUtil.h"
#include "odb/DataSet.h"
#include "support/OperationKiller.h"
#include "support/SlowCount.h"
#include "support/TestEnvironment.h"

using namespace odbtest;

namespace {

// Reads one text from the file with a read-write connection, which rolls back a hot journal.
QString Check(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* st = nullptr;
    QString out = QStringLiteral("<error>");
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

class SaveCrashTest : public TempFolderTest {};

TEST_F(SaveCrashTest, TotalsEqualTheSumsOfTheirChildrenAfterEveryKill) {
    const QString file = path("ZeltoLavrix.mdb");
    const auto open = [&file](TestNotify& notify) {
        auto def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        return OpenDefinition(file, def, &notify);
    };
    std::chrono::microseconds span{};
    {
        TestNotify notify;
        auto o = open(notify);
        auto header = o.table("Commesse").OpenData();
        ASSERT_TRUE(header->AddRow({"Cliente", ""}));
        auto details = header->GetReference("Dettagli");
        ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A1"}));
        // One whole cascading save, unkilled, spreads the kills.
        span = TimeOf([&] { EXPECT_TRUE(details->AddRow({"NumeroCommessa", "A2"})); });
    }
    OperationKiller killer(span, 20240607);
    const int kills = SlowCount(250, 40);
    int64_t lastSteps = -1;
    int saves = 0, inside = 0;
    for (int round = 0; round < kills; ++round) {
        // Each child opens the file once, then adds, edits and deletes steps until it is killed.
        TestNotify notify;
        Opened o;
        std::shared_ptr<DataSet> details;
        int i = 0;
        const auto start = [&] {
            o = open(notify);
            details = o.table("DettagliSpeciali").OpenData();
        };
        const auto save = [&] {
            details->RowFirst();
            if (i % 2) details->RowNext();
            auto steps = details->GetReference("Passaggi");
            if (i % 5 == 4 && !steps->DataEmpty()) {
                steps->DeleteRow();
            } else if (i % 3 == 2 && !steps->DataEmpty()) {
                steps->SetColValue("Minuti", steps->ColNumber("Minuti") + 1);
                steps->SaveRow();
            } else {
                steps->AddRow({"Minuti", 1 + i % 7});
            }
            ++i;
        };
        // One kill in four may fall while the file opens; one in four after a whole save.
        const KilledChild child = killer.run(start, save, round % 4 == 0 ? -1 : round % 4 == 3 ? 1 : 0);
        ASSERT_TRUE(child.killed) << "the child stopped by itself, round " << round;
        saves += child.operations;
        // A journal left behind: the kill fell inside a save's transaction.
        inside += QFile::exists(file + "-journal");
        ASSERT_EQ(Check(file, "PRAGMA integrity_check"), "ok") << "round " << round;
        ASSERT_EQ(Check(file,
                        "SELECT count(*) FROM Dettagli d WHERE d.TempoImpiegato <> "
                        "(SELECT ifnull(sum(p.Minuti), 0) FROM Passaggi p WHERE p._OwnerOID = d.OID)"),
                  "0")
            << "round " << round;
        ASSERT_EQ(Check(file,
                        "SELECT count(*) FROM Commesse c WHERE c.TempoTotale <> "
                        "(SELECT ifnull(sum(d.TempoImpiegato), 0) FROM Dettagli d JOIN DettagliSpeciali s "
                        "ON s.OID = d.OID WHERE s._OwnerOID = c.OID)"),
                  "0")
            << "round " << round;
        lastSteps = Check(file, "SELECT count(*) FROM Passaggi").toLongLong();
    }
    std::printf(
        "[ counts   ] %d kills (%d inside a save), %d saves seen, %lld steps in the file after the last\n",
        kills, inside, saves, static_cast<long long>(lastSteps));
    // The children did get work done between the kills, and some kills fell inside their saves.
    EXPECT_GT(lastSteps, 0);
    EXPECT_GT(inside, 0);
}

}  // namespace
