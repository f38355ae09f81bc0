// What the library asks of the file: an opening sorted by its OnSelect reads its rows once, a
// child save checks the file's version once and reads each row once, and a write of the value a
// field already holds raises its events without taking the write lock or storing anything.
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "OdbTestUtil.h"
#include "base/DateUtil.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "odb/SqlStatement.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

class StatementCostTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        o = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
        ASSERT_TRUE(
            o.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi", "CostoOrario", 30}));
        header = o.table("Commesse").OpenData();
        ASSERT_TRUE(header->AddRow({"Cliente", ""}));
        details = header->GetReference("Dettagli");
        ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A0001/001"}));
        steps = details->GetReference("Passaggi");
        ASSERT_TRUE(steps->AddRow(
            {"Operaio", "7", "Minuti", 60, "DataInizio", Variant::fromDate(MakeOleDate(2026, 3, 2, 9, 0))}));
        ASSERT_TRUE(steps->AddRow(
            {"Operaio", "7", "Minuti", 30, "DataInizio", Variant::fromDate(MakeOleDate(2026, 3, 2, 8, 0))}));
        def->log.clear();
    }
    int64_t raw(const QString& sql) const { return RawCount(path("ZeltoLavrix.mdb"), sql); }

    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
    std::shared_ptr<DataSet> header, details, steps;
};

TEST_F(StatementCostTest, AnOrderSetInOnSelectIsReadWithTheRowsOnce) {
    def->table("Passaggi")->onSelect = [](DataSet& ds) { ds.SortBy("DataInizio"); };
    StatementLog log(*o.conn);
    auto sorted = o.table("Passaggi").OpenData();
    EXPECT_EQ(log.listReads("Passaggi"), 1) << Lines(log.all);
    EXPECT_EQ(sorted->SortOrder(), "DataInizio");
    EXPECT_EQ(sorted->ColNumber("Minuti"), 30);  // started at 08:00
    // Through a reference too.
    auto through = details->GetReference("Passaggi");
    EXPECT_EQ(log.listReads("Passaggi"), 2);
    EXPECT_EQ(through->ColNumber("Minuti"), 30);
}

TEST_F(StatementCostTest, ARowNamedByItsIdentityIsReadWithoutAListOfRows) {
    steps->RowLast();
    const QString oid = steps->Bookmark().toText();
    StatementLog log(*o.conn);
    for (const QString& where : {"OID=" + oid, " oid = " + oid + " "}) {
        auto one = o.table("Passaggi").OpenData(where);
        EXPECT_EQ(one->RowCount(), 1);
        EXPECT_EQ(one->ColNumber("Minuti"), 30);
        EXPECT_EQ(log.listReads("Passaggi"), 0) << Lines(log.all);
        // The where-text still counts for what the data set does later.
        EXPECT_EQ(one->SelWhere(), where);
        EXPECT_TRUE(one->FindRow("Minuti=30"));
        log.statements.clear();
    }
    for (const QString& where : {QStringLiteral("OID=999999"), QStringLiteral("OID=0")})
        EXPECT_TRUE(o.table("Passaggi").OpenData(where)->DataEmpty()) << where.toStdString();
}

// Texts that only begin or end like "OID=n" are conditions: they name the rows they select.
TEST_F(StatementCostTest, OnlyAWholeIdentityTextIsReadAsOneRow) {
    steps->RowFirst();
    const QString first = steps->Bookmark().toText();
    steps->RowLast();
    const QString last = steps->Bookmark().toText();
    StatementLog log(*o.conn);
    for (const QString& where : {"\tOiD\n=\r" + last, "oid= " + last + "\t"}) {
        EXPECT_EQ(o.table("Passaggi").OpenData(where)->ColNumber("Minuti"), 30) << where.toStdString();
        EXPECT_EQ(log.listReads("Passaggi"), 0) << where.toStdString() << "\n" << Lines(log.all);
    }
    const struct {
        QString where;
        int rows;
    } conditions[] = {{"OID=" + first + " OR OID=" + last, 2},
                      {"OID=" + last + " AND Minuti=60", 0},
                      {"Not OID=" + last, steps->RowCount() - 1},
                      {"OID>=" + first, steps->RowCount()}};
    for (const auto& c : conditions) {
        log.statements.clear();
        EXPECT_EQ(o.table("Passaggi").OpenData(c.where)->RowCount(), c.rows) << c.where.toStdString();
        EXPECT_EQ(log.listReads("Passaggi"), 1) << c.where.toStdString() << "\n" << Lines(log.all);
    }
}

TEST_F(StatementCostTest, AnOrderOnSelectCannotTranslateFailsTheOpening) {
    def->table("Passaggi")->onSelect = [](DataSet& ds) {
        EXPECT_ANY_THROW(ds.SortBy("Inesistente"));
        EXPECT_EQ(ds.SortOrder(), "");
        ds.SortBy("Minuti", true);
    };
    auto sorted = o.table("Passaggi").OpenData();
    EXPECT_EQ(sorted->ColNumber("Minuti"), 60);
}

TEST_F(StatementCostTest, AChildSaveChecksTheFileOnceAndReadsEachRowOnce) {
    steps->RowFirst();
    ASSERT_TRUE(steps->SetColValue("Minuti", 50));
    StatementLog log(*o.conn);
    ASSERT_TRUE(steps->SaveRow());
    EXPECT_EQ(log.versionChecks(), 1) << Lines(log.all);
    for (const char* table : {"Passaggi", "Dettagli", "DettagliSpeciali", "Commesse"})
        EXPECT_LE(log.rowReads(table), 1) << table << "\n" << Lines(log.all);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 80);
    // The step was read by the write just before, and nobody changed the file since.
    EXPECT_EQ(log.rowReads("Passaggi"), 0) << Lines(log.all);
    // A new child the same way.
    log.statements.clear();
    ASSERT_TRUE(steps->AddRow({"Minuti", 10}));
    EXPECT_EQ(log.versionChecks(), 1) << Lines(log.all);
    for (const char* table : {"Dettagli", "DettagliSpeciali", "Commesse"})
        EXPECT_LE(log.rowReads(table), 1) << table << "\n" << Lines(log.all);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 90);
}

TEST_F(StatementCostTest, RowsAnotherComputerChangedAreReadAgainByTheNextOperation) {
    steps->RowFirst();
    ASSERT_TRUE(steps->SetColValue("Minuti", 50));
    // Another computer adds a step to the same detail meanwhile.
    auto other = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
    auto theirs = other.table("Commesse").OpenData()->GetReference("Dettagli")->GetReference("Passaggi");
    ASSERT_TRUE(theirs->AddRow({"Minuti", 5}));
    ASSERT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 95);
    // Our save takes the detail and the header as the file holds them now.
    StatementLog log(*o.conn);
    ASSERT_TRUE(steps->SaveRow());
    EXPECT_EQ(log.rowReads("Dettagli"), 1) << Lines(log.all);
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 85);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 85);
    EXPECT_EQ(details->ColNumber("TempoImpiegato"), 85);
}

TEST_F(StatementCostTest, InsideBeginTransTheFileIsAskedOnceForAllOperations) {
    StatementLog log(*o.conn);
    o.conn->BeginTrans();
    for (int minutes : {1, 2, 3})
        ASSERT_TRUE(steps->AddRow({"Minuti", minutes}));
    // A refused operation rolls back to its savepoint; the next one still sees the right totals.
    def->table("Passaggi")->onUpdateRow = [](DataSet& ds) {
        if (ds.ColNumber("Minuti") > 100) ds.RejectChange("Troppi minuti", 0);
    };
    EXPECT_FALSE(steps->AddRow({"Minuti", 500}));
    ASSERT_TRUE(steps->AddRow({"Minuti", 4}));
    o.conn->CommitTrans();
    EXPECT_EQ(log.versionChecks(), 1) << Lines(log.all);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 100);
    EXPECT_EQ(details->ColNumber("TempoImpiegato"), 100);
}

TEST_F(StatementCostTest, ReadingOutsideOperationsAsksTheFileAtMostOncePerCall) {
    StatementLog log(*o.conn);
    const auto asked = [&] { return log.versionChecks(); };
    auto all = o.table("Passaggi").OpenData();
    EXPECT_LE(asked(), 1);
    // Moving on is a call: the rows held from before are checked once, then read as they are.
    const int before = asked();
    all->RowNext();
    EXPECT_EQ(all->ColNumber("Minuti"), 30);
    EXPECT_EQ(all->ColValue("Costo").toCurrency().raw(), 150000);
    EXPECT_EQ(asked(), before + 1) << Lines(log.all);
    all->RowFirst();
    EXPECT_EQ(all->ColNumber("Minuti"), 60);
    EXPECT_EQ(asked(), before + 2);
    // Another computer's change to a held row is seen by the next call.
    auto other = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
    auto theirs = other.table("Passaggi").OpenData();
    ASSERT_TRUE(theirs->SetColValue("Minuti", 61));
    ASSERT_TRUE(theirs->SaveRow());
    EXPECT_EQ(all->ColNumber("Minuti"), 60);  // the same call as before: nothing asked
    all->RowFirst();
    EXPECT_EQ(all->ColNumber("Minuti"), 61);
}

TEST_F(StatementCostTest, TheSameValueAgainRaisesItsEventsAndWritesNothing) {
    steps->RowFirst();
    StatementLog log(*o.conn);
    ASSERT_TRUE(steps->SetColValue("Minuti", 60));
    EXPECT_EQ(log.writes(), 0) << Lines(log.all);
    EXPECT_TRUE(def->log.contains("Passaggi.OnBeforeUpdateField(Minuti)"));
    EXPECT_TRUE(def->log.contains("Passaggi.OnUpdateField(Minuti)"));
    EXPECT_FALSE(steps->RowStateFlag(0, 0));
    // Nothing to store: the save writes nothing and the detail hears nothing.
    def->log.clear();
    ASSERT_TRUE(steps->SaveRow());
    EXPECT_EQ(log.rowsWritten(), 0) << Lines(log.all);
    EXPECT_FALSE(def->log.contains("Dettagli.OnUpdateReference(Passaggi,0,Passaggi)"));
    // A different value still is a change.
    ASSERT_TRUE(steps->SetColValue("Minuti", 61));
    EXPECT_TRUE(steps->RowStateFlag(0, 0));
    ASSERT_TRUE(steps->SaveRow());
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 91);
}

// A same-value write whose rule writes elsewhere: the write lands, or a refusal undoes it whole.
class SameValueRuleTest : public StatementCostTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SameValueRuleTest, TheRulesWritesAreOneOperation) {
    const bool refuse = GetParam();
    def->table("Commesse")->onUpdateField = [refuse](DataSet& ds, const QString& column) {
        if (column != "Progressivo") return;
        ds.OpenTable("Clienti")->AddRow({"Codice", "NUOVO", "Descrizione", "Nuovo"});
        if (refuse) ds.RejectChange("Numero bloccato", 0);
    };
    const int64_t clients = raw("SELECT count(*) FROM Clienti");
    EXPECT_EQ(header->SetColValue("Progressivo", header->ColValue("Progressivo")), !refuse);
    EXPECT_EQ(raw("SELECT count(*) FROM Clienti"), clients + (refuse ? 0 : 1));
    EXPECT_EQ(notify.messages, refuse ? QStringList{"Numero bloccato"} : QStringList{});
    EXPECT_EQ(o.table("Clienti").OpenData("Codice='NUOVO'")->DataEmpty(), refuse);
}

INSTANTIATE_TEST_SUITE_P(Refused, SameValueRuleTest, ::testing::Bool());

}  // namespace

namespace {

TEST_F(StatementCostTest, AWalkOverTheRowsReadsThemAPageAtATime) {
    auto clienti = o.table("Clienti").OpenData();
    o.conn->BeginTrans();
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(clienti->AddRow(
            {"Codice", QStringLiteral("C%1").arg(i), "Descrizione", QStringLiteral("Cliente %1").arg(i)}));
    o.conn->CommitTrans();
    auto rows = o.table("Clienti").OpenData({}, "Codice");
    StatementLog log(*o.conn);
    int walked = 0;
    for (rows->RowFirst(); !rows->RowInvalid(); rows->RowNext(), ++walked)
        EXPECT_FALSE(rows->ColText("Descrizione").isEmpty());
    EXPECT_EQ(201, walked);  // with the table's own first row
    // 201 rows in pages of 64: four page reads, no row read twice.
    EXPECT_EQ(4, log.rowReads("Clienti")) << Lines(log.all);
}

TEST_F(StatementCostTest, AnImportResolvesEachReferencedKeyOnce) {
    ASSERT_TRUE(
        o.table("Operai").OpenData()->AddRow({"Codice", "8", "Nominativo", "Bianchi", "CostoOrario", 20}));
    auto other = o.table("Commesse").OpenData();
    ASSERT_TRUE(other->AddRow({"Cliente", ""}));
    auto otherDetail = other->GetReference("Dettagli");
    ASSERT_TRUE(otherDetail->AddRow({"NumeroCommessa", "B0001/001"}));
    auto source = otherDetail->GetReference("Passaggi");
    o.conn->BeginTrans();
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(source->AddRow({"Operaio", i % 2 ? "7" : "8", "Minuti", 10}));
    o.conn->CommitTrans();
    StatementLog log(*o.conn);
    ASSERT_EQ(source->ImportRows(*steps), 60);
    EXPECT_LE(log.listReads("Operai"), 2) << Lines(log.all);
    EXPECT_EQ(
        raw("SELECT count(*) FROM Passaggi p JOIN Operai o ON o.OID = p.Operaio WHERE o.Codice = '8' AND "
            "p._OwnerOID = 1"),
        30);
}

TEST_F(StatementCostTest, ATextKeptByItsCallerAndChangedInPlaceGetsItsOwnStatement) {
    // The cache finds a kept text by where its characters are: changed there, it is another text.
    const auto value = [&](const QString& sql) {
        auto st = o.conn->statement(sql);
        return st.step() ? st.int64(0) : -1;
    };
    const QString first = QStringLiteral("SELECT 1 + 0");
    QString kept = first;
    kept.detach();  // characters of its own, the same text
    EXPECT_EQ(value(first), 1);
    EXPECT_EQ(value(first), 1);
    EXPECT_EQ(value(kept), 1);
    EXPECT_EQ(value(kept), 1);
    kept[11] = QLatin1Char('5');
    EXPECT_EQ(value(kept), 6);
    EXPECT_EQ(value(kept), 6);
    kept.resize(8);
    EXPECT_EQ(value(kept), 1);
    EXPECT_EQ(value(first), 1);
}

TEST_F(StatementCostTest, TheStatementCacheKeepsWhatIsInUseAndRecursAndNoListOfRows) {
    sqlite3* db = o.conn->handle();
    auto prepared = [db](const QString& part = {}) {
        int n = 0;
        for (sqlite3_stmt* p = sqlite3_next_stmt(db, nullptr); p; p = sqlite3_next_stmt(db, p))
            if (QString::fromUtf8(sqlite3_sql(p)).contains(part)) ++n;
        return n;
    };
    // A statement being stepped while many others come and go, each used twice.
    auto reading = o.conn->statement("SELECT OID FROM Passaggi ORDER BY OID");
    ASSERT_TRUE(reading.step());
    const int64_t first = reading.int64(0);
    for (int i = 0; i < 700; ++i)
        for (int twice = 0; twice < 2; ++twice)
            o.conn->statement(QStringLiteral("SELECT %1 FROM Passaggi").arg(i)).step();
    ASSERT_EQ(prepared("ORDER BY OID"), 1);
    ASSERT_TRUE(reading.step());
    EXPECT_GT(reading.int64(0), first);
    reading.reset();
    // Selections of rows by identity, each list of another length, leave no statement behind.
    const int before = prepared();
    for (int n = 2; n <= 300; ++n) {
        QStringList ids;
        for (int k = 1; k <= n; ++k)
            ids << QString::number(k);
        EXPECT_EQ(o.table("Passaggi").OpenData("OID IN (" + ids.join(',') + ")")->RowCount(), 2);
    }
    EXPECT_LT(prepared() - before, 10);
    // Rows the library lists itself (pages, related rows) are bound, never written into the text.
    StatementLog log(*o.conn);
    auto all = o.table("Passaggi").OpenData();
    all->RowLast();
    EXPECT_EQ(all->ColNumber("Minuti"), 30);
    details->RowFirst();
    EXPECT_EQ(details->OpenRelated("Passaggi")->RowCount(), 2);
    EXPECT_EQ(steps->OpenRelated("DettagliSpeciali")->RowCount(), 1);
    static const QRegularExpression spliced(QStringLiteral("IN \\(\\d|='[^']*\\.[^']*'"));
    for (const QString& sql : log.all)
        EXPECT_FALSE(sql.contains(spliced)) << sql.toStdString();
}

// Conditions a rule asks together about one collection are one probe of the file, each answered as
// the single probe answers it, the row left out included.
TEST_F(StatementCostTest, ConditionsAskedTogetherAreOneProbe) {
    steps->RowFirst();  // 60 minutes
    const Variant first = steps->Bookmark();
    const QStringList conditions{"Minuti > 45", "Minuti < 10", "Minuti = 30"};
    StatementLog log(*o.conn);
    EXPECT_EQ(details->ReferenceHasRowsEach("Passaggi", conditions), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(log.statements.size() - static_cast<size_t>(log.versionChecks()), 1u) << Lines(log.all);
    EXPECT_EQ(details->ReferenceHasRowsEach("Passaggi", conditions, first),
              (std::vector<bool>{false, false, true}));
    for (const Variant& except : {Variant::missing(), first})
        for (int i = 0; i < conditions.size(); ++i)
            EXPECT_EQ(details->ReferenceHasRowsEach("Passaggi", {conditions[i]}, except).front(),
                      details->ReferenceHasRows("Passaggi", conditions[i], except))
                << conditions[i].toStdString();
    // A collection of an owner not stored yet holds nothing.
    ASSERT_TRUE(details->NewRow());
    EXPECT_EQ(details->ReferenceHasRowsEach("Passaggi", conditions),
              (std::vector<bool>{false, false, false}));
    details->CancelRow();
}

// An owner asks the same question before and after one of its rows is stored: the file is asked
// once while nothing but that row (which the question leaves out) changed, and again after any
// other write.
TEST_F(StatementCostTest, AnOwnersProbeIsAnsweredAgainOnlyWhileTheFileIsAsItWas) {
    steps->RowFirst();
    const QString first = steps->Bookmark().toText();  // 60 minutes
    steps->RowNext();
    const QString second = steps->Bookmark().toText();  // 30 minutes
    const QStringList asked{"Minuti > 45", "Minuti < 10"};
    std::vector<std::vector<bool>> answers;
    std::function<void()> between;  // run by the next after-event before it asks
    auto dettagli = def->table("Dettagli");
    auto before = dettagli->onBeforeUpdateReference;
    auto after = dettagli->onUpdateReference;
    dettagli->onBeforeUpdateReference = [&, before](DataSet& ds, DataSet& step, const QString& name,
                                                    bool gone) {
        before(ds, step, name, gone);
        answers.push_back(ds.ReferenceHasRowsEach("Passaggi", asked, step.Bookmark(-1)));
    };
    dettagli->onUpdateReference = [&, after](DataSet& ds, DataSet& step, const QString& name, bool gone) {
        after(ds, step, name, gone);
        if (between) std::exchange(between, nullptr)();
        answers.push_back(ds.ReferenceHasRowsEach("Passaggi", asked, step.Bookmark(-1)));
    };
    auto one = o.table("Passaggi").OpenData("OID=" + first);
    ASSERT_TRUE(one->SetColValue("Minuti", 5));
    StatementLog log(*o.conn);
    ASSERT_TRUE(one->SaveRow());
    EXPECT_EQ(answers, (std::vector<std::vector<bool>>{{false, false}, {false, false}}));
    EXPECT_EQ(log.all.filter("EXISTS(").size(), 1) << Lines(log.all);

    // The other row stored in between: asked again, its new value seen.
    answers.clear();
    between = [&] {
        auto other = o.table("Passaggi").OpenData("OID=" + second);
        ASSERT_TRUE(other->SetColValue("Minuti", 50));
        ASSERT_TRUE(other->SaveRow());  // leaving out the other row, which holds 5 minutes now
    };
    ASSERT_TRUE(one->SetColValue("Minuti", 7));
    ASSERT_TRUE(one->SaveRow());
    EXPECT_EQ(answers,
              (std::vector<std::vector<bool>>{{false, false}, {false, true}, {false, true}, {true, false}}));
    details->RowFirst();
    EXPECT_EQ(details->ReferenceHasRowsEach("Passaggi", asked, Variant(first.toLongLong())),
              (std::vector<bool>{true, false}));
}

}  // namespace
