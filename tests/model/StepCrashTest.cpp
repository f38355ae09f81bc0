// A process opening, suspending, closing and grouping work steps of job-order details, killed at
// random points: after every kill the file keeps the steps, their details and job orders in step
// with each other, and holds every operation the process saw committed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QFile>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "ModelInvariants.h"
#include "StepRoadFixture.h"
#include "support/OperationKiller.h"
#include "support/SlowCount.h"

namespace {

// Minutes of the steps' dates from midnight of the first day (dates fall on whole minutes).
QString MinuteOf(const QString& column) {
    return "CAST(round((" + column + " - " + QString::number(MakeOleDate(2026, 3, 2, 0, 0), 'g', 17) +
           ") * 1440) AS INTEGER)";
}

// Each line the process writes after a commit, and what the file must hold for it from then on
// (?1 and ?2: the line's numbers).
struct Committed {
    const char* kind;
    QString sql;
};
std::vector<Committed> CommittedChecks() {
    return {
        {"detail", "SELECT count(*) FROM DettagliCommesse WHERE OID=?1"},
        {"open", "SELECT count(*) FROM PassaggiDettaglioCommesse WHERE OID=?1"},
        {"suspend", "SELECT count(*) FROM PassaggiDettaglioCommesse WHERE OID=?1 AND " +
                        MinuteOf("DataSospensione") + ">=?2"},
        {"resume", "SELECT count(*) FROM PassaggiDettaglioCommesse WHERE OID=?1 AND (" +
                       MinuteOf("DataFineSospensione") + ">=?2 OR " + MinuteOf("DataSospensione") + ">=?2)"},
        {"close", "SELECT count(*) FROM PassaggiDettaglioCommesse WHERE OID=?1 AND Chiuso=1 AND " +
                      MinuteOf("DataChiusura") + "=?2"},
        {"group", "SELECT count(*) FROM _Link_GruppiPassaggi_Passaggi WHERE OwnerOID=?1 AND TargetOID=?2"},
        {"closedetail", "SELECT count(*) FROM DettagliCommesse WHERE OID=?1 AND Chiuso=1 AND " +
                            MinuteOf("DataChiusura") + "=?2"},
    };
}

// Every row breaking a rule between steps, details and groups. A step's minutes are its period less
// its suspension (an open one: its start to its suspension), shared by parts in a group; its cost is
// at 30.00 per hour. A detail without a quantity counts as one part.
QStringList StepChecks() {
    const QString of =
        "FROM PassaggiDettaglioCommesse s WHERE s._Owner='DettagliCommesse.Passaggi' AND "
        "s._OwnerOID=d.OID";
    const QString minutes = "(CASE WHEN s.DataChiusura IS NOT NULL THEN " + MinuteOf("s.DataChiusura") +
                            " - s.TempoSospensione WHEN s.DataSospensione IS NOT NULL THEN " +
                            MinuteOf("s.DataSospensione") + " ELSE " + MinuteOf("s.DataInizio") + " END - " +
                            MinuteOf("s.DataInizio") + ")";
    const QString parts =
        "IFNULL((SELECT a.Quantità FROM DettagliAttrezzature a WHERE a.OID=s._OwnerOID), 1)";
    const QString groupOf = "FROM GruppiPassaggi g JOIN _Link_GruppiPassaggi_Passaggi l ON l.OwnerOID=g.OID";
    return {
        "SELECT 'detail ' || d.NumeroCommessa FROM DettagliCommesse d WHERE d.TempoImpiegato IS NOT (SELECT "
        "TOTAL(s.TempoImpiegato) " +
            of + ") OR d.TempoSospensione IS NOT (SELECT TOTAL(s.TempoSospensione) " + of +
            ") OR d.CostoEffettivoPassaggi IS NOT (SELECT TOTAL(s.CostoEffettivo) " + of +
            ") OR d.InLavorazione IS NOT EXISTS (SELECT 1 " + of + " AND s.Chiuso=0) OR d.Sospeso IS NOT " +
            "EXISTS (SELECT 1 " + of + " AND s.Sospeso=1)",
        "SELECT 'step ' || s.OID FROM PassaggiDettaglioCommesse s WHERE s.TempoImpiegato IS NOT (CASE WHEN "
        "s.TotaleParticolariGruppo > 0 AND " +
            minutes + " <> 0 THEN half_even(" + parts + " * (" + minutes +
            " * 1.0 / s.TotaleParticolariGruppo)) ELSE " + minutes + " END) OR s.CostoEffettivo IS NOT " +
            "max(s.TempoImpiegato, 0) * 5000 OR s.Chiuso IS NOT (s.DataChiusura IS NOT NULL) OR s.Sospeso "
            "IS " +
            "NOT (s.DataSospensione IS NOT NULL AND s.DataFineSospensione IS NULL) OR " +
            "s.TotaleParticolariGruppo IS NOT IFNULL((SELECT g.NumeroTotaleParticolari " + groupOf +
            " WHERE l.TargetOID=s.OID), 0)",
        "SELECT 'group ' || g.OID FROM GruppiPassaggi g WHERE g.NumeroTotaleParticolari IS NOT (SELECT "
        "TOTAL(" +
            parts + ") FROM PassaggiDettaglioCommesse s JOIN _Link_GruppiPassaggi_Passaggi l ON " +
            "l.TargetOID=s.OID WHERE l.OwnerOID=g.OID)",
    };
}

void HalfEven(sqlite3_context* context, int, sqlite3_value** values) {
    sqlite3_result_int64(context,
                         static_cast<sqlite3_int64>(std::nearbyint(sqlite3_value_double(values[0]))));
}

// The first column of every row `sql` gives, ?1 and ?2 bound to `a` and `b`.
QStringList Texts(sqlite3* db, const QString& sql, int64_t a = 0, int64_t b = 0) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        return {QString::fromUtf8(sqlite3_errmsg(db))};
    sqlite3_bind_int64(st, 1, a);
    sqlite3_bind_int64(st, 2, b);
    QStringList out;
    while (sqlite3_step(st) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

class StepCrash : public StepRoadFixture {
  protected:
    QString logPath() const { return path("committed.log"); }
    // The rows of `table` under `where`, standing on a random one; nullptr when none.
    std::shared_ptr<odb::DataSet> anyRow(const QString& table, const QString& where) {
        auto ds = rows(table, where);
        if (ds->DataEmpty()) return nullptr;
        ds->RowFirst();
        for (int k = static_cast<int>(random_() % static_cast<unsigned>(ds->RowCount())); k > 0; --k)
            ds->RowNext();
        return ds;
    }
    // The child's start: its random choices, the clock from the latest date in the file, the log of
    // commits and the database.
    void startChild(unsigned seed);
    // Operations until one commits; the child ends when a rule refuses one.
    void commitOne();
    // One operation at minute `m`; false when a rule refused it.
    bool operation(int m);
    // Every broken rule, the integrity check's findings and every committed operation missing from
    // the file; adds to `checked`.
    QStringList violations(int64_t& checked);

    std::mt19937 random_;
    int log_ = -1, minute_ = 0;
    int64_t commits_ = 0;
};

bool StepCrash::operation(int m) {
    Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(0, 0)).addSecs(int64_t{m} * 60));
    QString line;
    const auto id = [](odb::DataSet& ds) { return ds.Bookmark().toText(); };
    switch (random_() % 8) {
        case 0:
            if (auto d = rows("DettagliCommesse", "Not Chiuso"); d->RowCount() < 4) {
                auto order = anyRow("CommesseCliente", "");
                auto detail = order->GetReference("Attrezzature");
                if (!detail->AddRow({"Quantità", 1 + static_cast<int>(random_() % 6)})) return false;
                line = "detail " + id(*detail);
            } else if (random_() % 3 == 0) {
                d = anyRow("DettagliCommesse", "Not Chiuso");
                if (!setAndSave(*d, "Chiuso", true)) return false;
                line = QString("closedetail %1 %2").arg(id(*d)).arg(m);
            }
            break;
        case 1:
        case 2:
            if (auto d = anyRow("DettagliCommesse", "Not Chiuso")) line = "open " + id(*openStep(*d));
            break;
        case 3:
            if (auto s = anyRow("PassaggiDettaglioCommesse", "Not Chiuso AND Not Sospeso")) {
                if (!setAndSave(*s, "DataSospensione", Variant::fromDate(Clock::now()))) return false;
                line = QString("suspend %1 %2").arg(id(*s)).arg(m);
            }
            break;
        case 4:
            if (auto s = anyRow("PassaggiDettaglioCommesse", "Sospeso")) {
                if (!setAndSave(*s, "DataFineSospensione", Variant::fromDate(Clock::now()))) return false;
                line = QString("resume %1 %2").arg(id(*s)).arg(m);
            }
            break;
        case 5:
        case 6:
            if (auto s = anyRow("PassaggiDettaglioCommesse", "Not Chiuso")) {
                if (!setAndSave(*s, "Chiuso", true)) return false;
                line = QString("close %1 %2").arg(id(*s)).arg(m);
            }
            break;
        default:
            if (auto s = anyRow("PassaggiDettaglioCommesse", "TotaleParticolariGruppo=0")) {
                auto g = anyRow("GruppiPassaggi", "");
                if (!g || random_() % 3 == 0) {
                    g = rows("GruppiPassaggi");
                    if (!g->AddRow({})) return false;
                }
                if (!g->SetReference("Passaggi", s->Bookmark())) return false;
                line = QString("group %1 %2").arg(id(*g), id(*s));
            }
    }
    if (!line.isEmpty()) {
        const QByteArray bytes = (line + "\n").toUtf8();
        if (write(log_, bytes.constData(), bytes.size()) != bytes.size()) return false;
        ++commits_;
    }
    return true;
}

void StepCrash::startChild(unsigned seed) {
    random_.seed(seed);
    minute_ =
        storedText("SELECT max(" + MinuteOf("d") +
                   ") FROM (SELECT max(DataInizio, IFNULL(DataChiusura, 0)) d FROM DettagliCommesse "
                   "UNION ALL SELECT max(DataInizio, IFNULL(DataChiusura, 0), IFNULL(DataSospensione, 0), "
                   "IFNULL(DataFineSospensione, 0)) FROM PassaggiDettaglioCommesse)")
            .toInt();
    log_ = ::open(logPath().toUtf8().constData(), O_WRONLY | O_APPEND | O_CREAT, 0600);
    open();
}

void StepCrash::commitOne() {
    for (const int64_t before = commits_; commits_ == before;) {
        minute_ += 1 + static_cast<int>(random_() % 7);
        if (!operation(minute_)) {
            std::fprintf(stderr, "refused: %s\n", notify.messages.join("|").toUtf8().constData());
            _exit(2);
        }
    }
}

QStringList StepCrash::violations(int64_t& checked) {
    // A connection that may write rolls back what the killed process left half done.
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QStringList out = Texts(db, "PRAGMA integrity_check");
    if (out == QStringList{"ok"}) out.clear();
    out << ModelInvariantViolations(databasePath());
    sqlite3_create_function(db, "half_even", 1, SQLITE_UTF8, nullptr, HalfEven, nullptr, nullptr);
    for (const QString& sql : StepChecks())
        out << Texts(db, sql);
    const std::vector<Committed> committed = CommittedChecks();
    QFile log(logPath());
    log.open(QIODevice::ReadOnly);
    for (const QByteArray& raw : log.readAll().split('\n')) {
        const QStringList line = QString::fromUtf8(raw).split(' ');
        for (const Committed& c : committed) {
            if (line[0] != c.kind) continue;
            ++checked;
            if (Texts(db, c.sql, line.value(1).toLongLong(), line.value(2).toLongLong()) != QStringList{"1"})
                out << "lost: " + line.join(' ');
        }
    }
    sqlite3_close(db);
    return out;
}

TEST_F(StepCrash, StepsDetailsAndJobOrdersAgreeAfterEveryKill) {
    // One whole operation, unkilled, spreads the kills.
    std::chrono::microseconds span{};
    for (int quantity : {2, 5}) {
        auto order = addCustomerOrder();
        span = TimeOf([&] { addToolingDetail(*order, "", quantity); });
    }
    close();
    std::mt19937 random(20260302);
    OperationKiller killer(span, 20260302);
    const int kills = SlowCount(250, 40);
    int64_t checked = 0;
    int halfDone = 0;
    for (int round = 0; round < kills; ++round) {
        // One kill in five may fall while the database opens, the others after a few commits.
        const int before = round % 5 ? 1 + static_cast<int>(random() % 6) : -1;
        ASSERT_TRUE(
            killer.run([&] { startChild(static_cast<unsigned>(round)); }, [&] { commitOne(); }, before)
                .killed)
            << "the process stopped by itself, round " << round;
        halfDone += QFile::exists(databasePath() + "-journal");
        const QStringList broken = violations(checked);
        ASSERT_TRUE(broken.isEmpty()) << "round " << round << ": " << broken.join("\n").toStdString();
    }
    const QString steps = storedText("SELECT count(*) FROM PassaggiDettaglioCommesse");
    QFile log(logPath());
    log.open(QIODevice::ReadOnly);
    std::printf(
        "[ counts   ] %d kills (%d inside a transaction), %s steps, %s details, %lld operations "
        "committed, %lld checks of them\n",
        kills, halfDone, qPrintable(steps), qPrintable(storedText("SELECT count(*) FROM DettagliCommesse")),
        static_cast<long long>(log.readAll().count('\n')), static_cast<long long>(checked));
    // The processes did get work done between the kills, and some kills fell inside their writes.
    EXPECT_GT(steps.toInt(), kills / 2);
    EXPECT_GT(halfDone, 0);
}

}  // namespace
