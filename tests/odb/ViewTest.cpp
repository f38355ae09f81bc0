// Data sets as the windows read them: the view's columns, rows read a page at a time, what the
// event source tells, the record set's face, copies, relations by number, rebuilt totals and the
// logins table's deletion rule.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <set>

#include "OdbTestUtil.h"
#include "base/DateUtil.h"
#include "odb/DataSet.h"
#include "odb/FieldValueText.h"
#include "odb/LibraryClock.h"
#include "odb/Recordset.h"
#include "odb/Schema.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

class ViewTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        def->record = false;
        BuildShopSchema(*def);
        o = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
        auto clienti = o.table("Clienti").OpenData();
        clienti->AddRow({"Codice", "C1", "Descrizione", "Rossi & Figli"});
        clienti->AddRow({"Codice", "C2", "Descrizione", "Bianchi"});
        auto commesse = o.table("Commesse").OpenData();
        o.conn->BeginTrans();
        for (int i = 0; i < 150; ++i)
            ASSERT_TRUE(commesse->AddRow({"Cliente", i % 2 ? "C1" : "C2"}));
        o.conn->CommitTrans();
    }
    std::shared_ptr<DataSet> commesse(const QString& fields = {}, const QString& order = {}) {
        return o.table("Commesse").OpenData({}, order, fields);
    }
    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
};

TEST_F(ViewTest, TheViewsColumnsAreTheDefaultOnesThenLookupsPathsAndComputedOnes) {
    auto ds = commesse("*,Cliente,Progressivo,(Progressivo * 2) As Doppio");
    EXPECT_EQ(ds->ColumnNames(),
              QStringList({"Progressivo", "TempoTotale", "CostoTotale", "Cliente", "Doppio"}));
    ASSERT_EQ(ds->FieldCount(), 5);
    const odb::FieldDef* cliente = ds->Field(4);
    ASSERT_NE(cliente->lookup, nullptr);
    EXPECT_EQ(cliente->Type(), odb::ftText);  // the display field's type
    EXPECT_TRUE(cliente->Searchable());
    const odb::FieldDef* doppio = ds->Field("Doppio");
    ASSERT_NE(doppio, nullptr);
    EXPECT_TRUE(doppio->computed);
    EXPECT_FALSE(doppio->Searchable());  // where-texts do not know an "As" name
    EXPECT_FALSE(doppio->Unsortable());  // orders do
    EXPECT_EQ(ds->Field(2)->GetTexts(0).value(2), "Tempo Totale");
    EXPECT_EQ(ds->Field(6), nullptr);
    // No list: the default columns only; a list without "*": what it names.
    EXPECT_EQ(commesse()->FieldCount(), 3);
    EXPECT_EQ(commesse("Cliente,Progressivo")->ColumnNames(), QStringList({"Cliente", "Progressivo"}));
    struct Name {
        const char* in;
        const char* out;
    };
    for (const Name& n :
         {Name{"DataInserimento", "Data Inserimento"}, Name{"IDElementoOrigine", "ID Elemento Origine"},
          Name{"DisponibilitàFinale", "Disponibilità Finale"}, Name{"OID", "OID"},
          Name{"Prezzo2Listino", "Prezzo2 Listino"}})
        EXPECT_EQ(odb::NameWords(QString::fromUtf8(n.in)), QString::fromUtf8(n.out));
}

// A view of many rows reads the identities of its first rows (ordered and limited by the engine)
// and counts the rest; walking, jumping or re-reading past them reads the whole list once, in the
// same order, the current row kept.
TEST_F(ViewTest, ALargeViewReadsItsFirstRowsFirstAndTheRestWhenWalkedPast) {
    auto add = commesse();
    o.conn->BeginTrans();
    for (int i = 0; i < 1050; ++i)
        ASSERT_TRUE(add->AddRow({"Cliente", "C1"}));
    o.conn->CommitTrans();
    const int total = 1200;
    StatementLog log(*o.conn);
    auto ds = commesse("Progressivo,Cliente", "Progressivo DESC");
    EXPECT_EQ(ds->RowCount(), total);
    const auto page = ds->ReadRows(0, 40, {"Progressivo"});
    ASSERT_EQ(page.size(), 40u);
    EXPECT_GT(page[0][0].toDouble(), page[39][0].toDouble());
    EXPECT_EQ(log.listReads("Commesse"), 1) << log.all.join('\n').toStdString();
    // Walking every row: each once, in order, the whole list read once on the way.
    int walked = 0;
    double previous = 1e18;
    bool ordered = true;
    for (ds->RowFirst(); !ds->RowInvalid(); ds->RowNext()) {
        const double p = ds->ColValue("Progressivo").toDouble();
        ordered = ordered && p < previous;
        previous = p;
        ++walked;
    }
    EXPECT_EQ(walked, total);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(log.listReads("Commesse"), 2);
    // A re-read keeps a row past the first ones; a bookmark finds it again.
    ASSERT_TRUE(ds->MoveToPosition(1100));
    const Variant mark = ds->Bookmark();
    ds->Requery();
    EXPECT_EQ(ds->AbsolutePosition(), 1100);
    ds->RowFirst();
    ASSERT_TRUE(ds->FindBookmark(mark));
    EXPECT_EQ(ds->AbsolutePosition(), 1100);
    ASSERT_TRUE(ds->RowLast());
    EXPECT_EQ(ds->AbsolutePosition(), total - 1);
    EXPECT_DOUBLE_EQ(previous, ds->ColValue("Progressivo").toDouble());
}

// The count a grid asks for its scroll bar counts without sorting: an order (here through a
// reference) would make SQLite sort every row only to count them.
TEST_F(ViewTest, TheCountOfAnOrderedViewSortsNothing) {
    auto add = commesse();
    o.conn->BeginTrans();
    for (int i = 0; i < 1050; ++i)
        ASSERT_TRUE(add->AddRow({"Cliente", "C1"}));
    o.conn->CommitTrans();
    auto ds = commesse("Progressivo,Cliente", "Cliente, Progressivo DESC");
    StatementLog log(*o.conn);
    EXPECT_EQ(ds->RowCount(), 1200);
    const QStringList counts = log.all.filter(QStringLiteral("count("), Qt::CaseInsensitive);
    ASSERT_FALSE(counts.isEmpty()) << log.all.join('\n').toStdString();
    for (const QString& sql : counts)
        EXPECT_FALSE(sql.contains(QStringLiteral("ORDER BY"), Qt::CaseInsensitive)) << sql.toStdString();
}

// The identities of a view's rows, in its order.
std::vector<double> Identities(DataSet& ds) {
    std::vector<double> ids;
    for (ds.RowFirst(); !ds.RowInvalid(); ds.RowNext())
        ids.push_back(ds.Bookmark().toDouble());
    return ids;
}

// An order through references sorts every row by the looked-up value, case and accents as texts
// compare, a row without reference first, as the same value read through each row's own
// sub-select (a named column) sorts them; the identities' read sorts without a sub-select per row.
TEST_F(ViewTest, AnOrderThroughReferencesSortsAsEachRowsLookedUpValue) {
    auto clienti = o.table("Clienti").OpenData();
    const char* const codes[] = {"C3", "C4", "C5", "C6"};
    const char* const names[] = {"àncora", "bianchi srl", "Zeta", "Éclair"};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(clienti->AddRow({"Codice", codes[i], "Descrizione", names[i]}));
    auto add = commesse();
    o.conn->BeginTrans();
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(add->AddRow({"Cliente", codes[i % 4]}));
    ASSERT_TRUE(add->AddRow({}));
    o.conn->CommitTrans();
    struct Case {
        const char* where;
        const char* order;
        const char* named;  // the same through the "As" names of the view's columns
    };
    const QString fields = "Progressivo,Cliente,Cliente As K,Cliente.Codice As K2";
    for (const Case& c :
         {Case{"", "Cliente", "K"}, Case{"", "Cliente DESC, Progressivo DESC", "K DESC, Progressivo DESC"},
          Case{"Cliente <> 'Bianchi' AND Progressivo > 20", "Cliente.Codice DESC, Cliente", "K2 DESC, K"}}) {
        StatementLog log(*o.conn);
        auto joined = o.table("Commesse").OpenData(c.where, c.order, fields);
        const std::vector<double> ids = Identities(*joined);
        for (const QString& sql : log.all)
            EXPECT_FALSE(sql.section("ORDER BY", 1).contains("SELECT", Qt::CaseInsensitive))
                << sql.toStdString();
        auto named = o.table("Commesse").OpenData(c.where, c.named, fields);
        EXPECT_EQ(ids, Identities(*named)) << c.order;
        EXPECT_EQ(static_cast<int>(ids.size()), joined->RowCount());
    }
    auto first = o.table("Commesse").OpenData({}, "Cliente", fields);
    EXPECT_TRUE(first->ColIsNull("K"));
    ASSERT_TRUE(first->RowNext());
    EXPECT_EQ(first->ColText("K"), "àncora");
    ASSERT_TRUE(first->RowLast());
    EXPECT_EQ(first->ColText("K"), "Zeta");
}

// The same through the owning row, a reference of the owner's and a derived row's base row.
TEST_F(ViewTest, AnOrderThroughTheOwnerOrTheBaseRowSortsAsEachRowsValue) {
    auto operai = o.table("Operai").OpenData();
    ASSERT_TRUE(operai->AddRow({"Codice", "7", "Nominativo", "Rossi"}));
    ASSERT_TRUE(operai->AddRow({"Codice", "8", "Nominativo", "bassi"}));
    for (const char* number : {"B", "a", "C"}) {
        ASSERT_TRUE(o.table("Dettagli").OpenData()->AddRow({"NumeroCommessa", number}));
        auto steps = o.table("Dettagli")
                         .OpenData(QStringLiteral("NumeroCommessa='%1'").arg(number))
                         ->GetReference("Passaggi");
        ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 1}));
        ASSERT_TRUE(steps->AddRow({"Operaio", "8", "Minuti", 2}));
    }
    auto order = commesse({}, "Progressivo DESC");
    ASSERT_TRUE(order->RowFirst());
    auto special = order->GetReference("Dettagli");
    for (const char* number : {"z", "Y", "x"})
        ASSERT_TRUE(special->AddRow({"NumeroCommessa", number}));
    struct Case {
        const char* table;
        const char* order;
        const char* named;
    };
    const QString fields = "*,Dettagli.NumeroCommessa As N,Operaio As W";
    const QString specialFields = "*,NumeroCommessa As N,Commesse.Cliente As K";
    for (const Case& c :
         {Case{"Passaggi", "Dettagli.NumeroCommessa DESC, Operaio", "N DESC, W"},
          Case{"Passaggi", "Operaio, Dettagli.NumeroCommessa", "W, N"},
          Case{"DettagliSpeciali", "NumeroCommessa", "N"},
          Case{"DettagliSpeciali", "Commesse.Cliente DESC, NumeroCommessa DESC", "K DESC, N DESC"}}) {
        const QString& f = QString(c.table) == "Passaggi" ? fields : specialFields;
        EXPECT_EQ(Identities(*o.table(c.table).OpenData({}, c.order, f)),
                  Identities(*o.table(c.table).OpenData({}, c.named, f)))
            << c.order;
    }
    auto steps = o.table("Passaggi").OpenData({}, "Operaio, Dettagli.NumeroCommessa", fields);
    ASSERT_TRUE(steps->RowFirst());
    EXPECT_EQ(steps->ColText("W"), "bassi");
    EXPECT_EQ(steps->ColText("N"), "a");
    auto specials = o.table("DettagliSpeciali").OpenData({}, "NumeroCommessa DESC", specialFields);
    ASSERT_TRUE(specials->RowFirst());
    EXPECT_EQ(specials->ColText("N"), "z");
}

// A large view sorted through a reference: another computer renames a customer while the first
// page is shown; walking on, the rows already read keep their places and every row comes once.
TEST_F(ViewTest, RowsSortedThroughAReferenceKeepTheirPlacesWhenAnotherComputerMovesThem) {
    auto add = commesse();
    o.conn->BeginTrans();
    for (int i = 0; i < 1050; ++i)
        ASSERT_TRUE(add->AddRow({"Cliente", i % 2 ? "C1" : "C2"}));
    o.conn->CommitTrans();
    const int total = 1200;
    auto ds = commesse("Progressivo,Cliente", "Cliente, Progressivo");
    std::vector<double> shown;
    for (ds->RowFirst(); shown.size() < 40; ds->RowNext())
        shown.push_back(ds->Bookmark().toDouble());
    EXPECT_EQ(ds->ColText("Cliente"), "Bianchi");
    sqlite3* other = nullptr;
    sqlite3_open_v2(path("ZeltoLavrix.mdb").toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
    EXPECT_EQ(sqlite3_exec(other, "UPDATE Clienti SET Descrizione = 'Arancio' WHERE Codice = 'C1'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    const std::vector<double> walked = Identities(*ds);
    ASSERT_EQ(static_cast<int>(walked.size()), total);
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), walked.begin()));
    EXPECT_EQ(std::set<double>(walked.begin(), walked.end()).size(), walked.size());
    // Read again, the renamed customer's rows come first.
    ds->Requery();
    ASSERT_TRUE(ds->RowFirst());
    EXPECT_EQ(ds->ColText("Cliente"), "Arancio");
}

// Full reads of the list of a view's identities (a page's or a neighbourhood's are limited).
int FullListReads(const StatementLog& log) {
    int n = 0;
    for (size_t i = 0; i < log.statements.size(); ++i)
        if (log.statements[i].identitiesOnly && !log.all[static_cast<qsizetype>(i)].contains("LIMIT")) ++n;
    return n;
}

// 1,200 rows ordered with ties, nulls and texts the locale collation orders (case, accents).
class FoundRowTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        auto clienti = o.table("Clienti").OpenData();
        clienti->AddRow({"Codice", "C3", "Descrizione", "Èrba"});
        clienti->AddRow({"Codice", "C4", "Descrizione", "erbe"});
        auto add = commesse();
        o.conn->BeginTrans();
        const char* codes[] = {"C1", "C2", "C3", "C4"};
        for (int i = 0; i < 1050; ++i)
            ASSERT_TRUE(i % 5 == 4 ? add->AddRow({}) : add->AddRow({"Cliente", codes[i % 5]}));
        o.conn->CommitTrans();
        other("UPDATE Commesse SET TempoTotale = CASE WHEN OID % 7 = 0 THEN NULL ELSE OID % 3 END");
    }
    void other(const char* sql) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path("ZeltoLavrix.mdb").toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    }
    std::shared_ptr<DataSet> view(const QString& order) { return commesse("Progressivo,Cliente", order); }
};

// A row past the first rows is found where walking every row finds it, with its neighbours,
// without reading the whole list: near the first rows' end, in the middle, the last row.
TEST_F(FoundRowTest, ARowPastTheFirstRowsIsFoundInPlaceWithoutReadingEveryRow) {
    for (const QString order : {"", "Cliente DESC, TempoTotale", "TempoTotale DESC, Cliente",
                                "Cliente, TempoTotale DESC, Progressivo"}) {
        const std::vector<double> walked = Identities(*view(order));
        ASSERT_EQ(walked.size(), 1200u);
        for (size_t at : {size_t{1024}, size_t{1025}, size_t{1100}, size_t{1199}}) {
            auto ds = view(order);
            StatementLog log(*o.conn);
            ASSERT_TRUE(ds->FindBookmark(walked[at])) << order.toStdString() << " " << at;
            EXPECT_EQ(ds->AbsolutePosition(), static_cast<int>(at)) << order.toStdString();
            for (size_t near : {at - 1, at + 1, at - 100})
                if (near < walked.size()) {
                    ASSERT_TRUE(ds->MoveToPosition(static_cast<int>(near)));
                    EXPECT_EQ(ds->Bookmark().toDouble(), walked[near]) << order.toStdString() << " " << near;
                }
            EXPECT_EQ(FullListReads(log), 0) << log.all.join('\n').toStdString();
            EXPECT_EQ(Identities(*ds), walked) << order.toStdString();
        }
        EXPECT_FALSE(view(order)->FindBookmark(99999));
    }
}

// Another computer deletes rows and moves others after the first rows were read: the row is
// found where walking the same view, read at the same time, places it; a deleted one is not found.
TEST_F(FoundRowTest, ARowIsFoundWhereTheWalkPlacesItAfterAnotherComputersChanges) {
    const QString order = "Cliente DESC, TempoTotale";
    const std::vector<double> before = Identities(*view(order));
    auto ds = view(order);
    auto walk = view(order);
    const QByteArray gone = QByteArray::number(before[1150]), moved = QByteArray::number(before[3]);
    other(("DELETE FROM Commesse WHERE OID IN (" + gone + ", " + QByteArray::number(before[1100]) + ")")
              .constData());
    other("UPDATE Commesse SET Cliente = NULL, TempoTotale = 9 WHERE OID = " + moved);
    EXPECT_FALSE(ds->FindBookmark(before[1150]));
    const std::vector<double> walked = Identities(*walk);
    ASSERT_EQ(walked.size(), 1198u);
    EXPECT_EQ(walked[3], before[3]);  // seen: kept in its place
    const auto at = std::find(walked.begin(), walked.end(), before[1180]) - walked.begin();
    ASSERT_TRUE(ds->FindBookmark(before[1180]));
    EXPECT_EQ(ds->AbsolutePosition(), at);
    EXPECT_EQ(Identities(*ds), walked);
}

TEST_F(ViewTest, RowsAreReadForDisplayAPageAtATimeWithoutMovingTheCurrentRow) {
    auto ds = commesse("*,Cliente,(Progressivo * 2) As Doppio", "Progressivo DESC");
    ds->RowFirst();
    ds->RowNext();
    StatementLog log(*o.conn);
    const auto rows = ds->ReadRows(10, 100, {"OID", "Progressivo", "Cliente", "Doppio", "CostoTotale"});
    ASSERT_EQ(rows.size(), 100u);
    // One statement per 64 rows, prepared once.
    EXPECT_EQ(log.rowReads("Commesse"), 2) << Lines(log.all);
    EXPECT_EQ(rows[0][2].toText(), "Rossi & Figli");
    EXPECT_EQ(rows[0][3].toDouble(), 280);
    EXPECT_EQ(rows[0][4].type(), VarType::Currency);
    // Every row of both chunks, the last of the first included, in the view's order.
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i][1].toDouble(), 140.0 - static_cast<double>(i)) << i;
    EXPECT_EQ(ds->AbsolutePosition(), 1);
    EXPECT_EQ(ds->ColNumber("Progressivo"), 149);
    // Past the end: what there is; a row deleted meanwhile comes back Null.
    EXPECT_EQ(ds->ReadRows(148, 10, {"Progressivo"}).size(), 2u);
    ASSERT_TRUE(o.table("Commesse").OpenData("Progressivo=140")->DeleteRow());
    const auto again = ds->ReadRows(10, 2, {"Progressivo"});
    EXPECT_TRUE(again[0][0].isNull());
    EXPECT_EQ(again[1][0].toDouble(), 139);
    // As the windows show them.
    EXPECT_EQ(odb::FieldValueText(*ds->Field("Progressivo"), Variant(7)), "0007");
}

TEST_F(ViewTest, TheEventSourceTellsEveryRereadEachDeletionAndEveryMove) {
    auto ds = commesse({}, "Progressivo");
    int refreshes = 0, moves = 0;
    QList<int> removed;
    QObject::connect(&ds->EventSource(), &odb::EventSource::OnRefreshRecordset, [&](DataSet& d) {
        EXPECT_EQ(&d, ds.get());
        ++refreshes;
    });
    QObject::connect(&ds->EventSource(), &odb::EventSource::RowRemoved, [&](int p) { removed << p; });
    QObject::connect(&ds->EventSource(), &odb::EventSource::RowMoved, [&] { ++moves; });
    ASSERT_TRUE(ds->MoveToPosition(20));
    EXPECT_EQ(moves, 1);
    ds->SetSortOrder("Progressivo DESC");
    ds->SetFilter("Progressivo > 10");
    ds->SetSelWhere("Progressivo <= 100");
    ds->Requery();
    ds->RefreshRows();
    EXPECT_EQ(refreshes, 5);
    // The current row is kept through orders, filters and re-reads.
    EXPECT_EQ(ds->ColNumber("Progressivo"), 21);
    EXPECT_EQ(ds->AbsolutePosition(), 100 - 21);
    // A failing order changes nothing and tells nothing.
    EXPECT_THROW(ds->SetSortOrder("Nessuno"), AppError);
    EXPECT_EQ(refreshes, 5);
    // Deleted through the data set: the rows after it move up, no re-read.
    ASSERT_TRUE(ds->DeleteRow());
    ds->MoveToPosition(0);
    ASSERT_TRUE(ds->DeleteRow());
    EXPECT_EQ(removed, QList<int>({79, 0}));
    EXPECT_EQ(refreshes, 5);
    EXPECT_EQ(ds->RowCount(), 88);
    ds->MoveToPosition(78);
    EXPECT_EQ(ds->ColNumber("Progressivo"), 20);
}

TEST_F(ViewTest, TheRecordSetMovesByBookmarkAndTellsALostPosition) {
    auto ds = commesse({}, "Progressivo");
    auto rs = ds->Recordset();
    EXPECT_EQ(rs.Filter().toDouble(), 0);
    const Variant bm = o.table("Commesse").OpenData("Progressivo=50")->Bookmark();
    ASSERT_TRUE(rs.SetBookmark(bm));
    EXPECT_EQ(rs.Fields("Progressivo").toDouble(), 50);
    EXPECT_FALSE(ds->RowPositionLost());
    EXPECT_FALSE(rs.SetBookmark(Variant(987654)));
    EXPECT_TRUE(ds->RowPositionLost());
    EXPECT_EQ(ds->ColNumber("Progressivo"), 50);  // stays where it was
    ds->RowNext();
    EXPECT_FALSE(ds->RowPositionLost());
    ds->DeleteRow();
    EXPECT_TRUE(ds->RowPositionLost());
    ds->SetFilter("Progressivo < 5");
    EXPECT_EQ(rs.Filter().toText(), "Progressivo < 5");
    EXPECT_EQ(ds->RowIdentity(true), QString::number(static_cast<int64_t>(ds->Bookmark().toDouble())));
}

TEST_F(ViewTest, ACopyHasTheSameRowsAndAPositionOfItsOwn) {
    auto ds = commesse({}, "Progressivo DESC");
    ds->SetFilter("Progressivo <= 100");
    ds->MoveToPosition(3);
    auto copy = ds->CloneData(-1);
    EXPECT_EQ(copy->RowCount(), 100);
    EXPECT_EQ(copy->ColNumber("Progressivo"), 97);
    ASSERT_TRUE(copy->FindRow("Progressivo = 10"));
    EXPECT_EQ(ds->ColNumber("Progressivo"), 97);
    EXPECT_EQ(copy->SortOrder(), "Progressivo DESC");
    ds->SetOption("UseSelWhereForFilter", "Yes");
    EXPECT_EQ(ds->GetOption("usesElwhereForFilter"), "Yes");
    EXPECT_EQ(ds->GetOption("Altro"), "");
}

TEST_F(ViewTest, ValuesAndConditionsOfTheFieldsTypes) {
    odb::FieldDef level;
    level.type = odb::ftLong;
    level.valueList = "-1|Solo Commesse|0|Interrogazione|1|Amministrazione";
    odb::FieldDef when;
    when.type = odb::ftDateTime;
    odb::FieldDef money;
    money.type = odb::ftCurrency;
    odb::FieldDef name;
    name.type = odb::ftText;
    name.size = 5;
    struct Case {
        const odb::FieldDef* field;
        const char* text;
        bool ok;
        const char* shown;  // the value shown again
    };
    const Case cases[] = {
        {&level, "Interrogazione", true, "Interrogazione"},
        {&level, "amministrazione", true, "Amministrazione"},
        {&level, "-1", true, "Solo Commesse"},
        {&level, "Ospite", false, ""},
        {&when, "31/02/2024", false, ""},
        {&when, "29/02/2024", true, "29/02/2024"},
        {&when, "29/02/2024 08:30", true, "29/02/2024 08:30"},
        {&money, "1.234,5 €", true, "1.234,50 €"},
        {&money, "dodici", false, ""},
        {&name, "abcdef", false, ""},
        {&name, "", true, ""},
    };
    for (const Case& c : cases) {
        Variant v;
        QString problem;
        EXPECT_EQ(odb::ParseFieldText(*c.field, QString::fromUtf8(c.text), v, &problem), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(odb::FieldValueText(*c.field, v), QString::fromUtf8(c.shown)) << c.text;
        } else {
            EXPECT_FALSE(problem.isEmpty()) << c.text;
        }
    }
    EXPECT_EQ(odb::LikeLiteral("50%*[a]?#"), "50%[*][[]a][?][#]");
}

TEST_F(ViewTest, RelationsByNumberAndTheTextsOfSubSelects) {
    auto& operai = o.table("Operai");
    ASSERT_EQ(operai.IncomingCount(), 1);
    EXPECT_EQ(operai.IncomingReference(1).Name(), "Operaio");
    EXPECT_EQ(operai.IncomingReference(1).OwnerTable().Name(), "Passaggi");
    auto& passaggi = o.table("Passaggi");
    ASSERT_EQ(passaggi.ContainerCount(), 2);
    EXPECT_EQ(passaggi.Container(1).Name(), "Dettagli");
    EXPECT_EQ(passaggi.Container(2).Name(), "Gruppi");
    EXPECT_TRUE(RaisesLibraryError([&] { passaggi.Container(3); }, odb::odbErrUnknownReference));
    auto& commesseTable = o.table("Commesse");
    EXPECT_EQ(commesseTable.OwnReferenceDefs().Count(), 4);
    EXPECT_EQ(commesseTable.Reference(2).Name(), "Dettagli");
    EXPECT_TRUE(commesseTable.Reference(2).IsRebuildable());
    EXPECT_FALSE(commesseTable.Reference(1).IsRebuildable());
    EXPECT_EQ(commesseTable.Title(), "Commesse");
    EXPECT_EQ(o.table("DettagliSpeciali").Title(), "Dettagli Speciali");

    // A detail with two steps of one worker; the worker's steps by incoming relation 1.
    o.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Verdi", "CostoOrario", 60});
    auto head = commesse("", "Progressivo");
    head->RowFirst();
    auto detail = head->GetReference("Dettagli");
    ASSERT_TRUE(detail->AddRow({"NumeroCommessa", "0001/001"}));
    auto steps = detail->GetReference("Passaggi");
    ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 30}));
    ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 90}));
    auto worker = o.table("Operai").OpenData("Codice='7'");
    EXPECT_EQ(worker->OpenRelated(1)->RowCount(), 2);
    steps->RowFirst();
    auto holders = steps->OpenRelatedEx(1);
    ASSERT_EQ(holders->RowCount(), 1);
    EXPECT_EQ(holders->ColText("NumeroCommessa"), "0001/001");
    // Along the chain: the detail's own container first, then its base table's.
    auto speciali = o.table("DettagliSpeciali").OpenData();
    ASSERT_EQ(o.table("DettagliSpeciali").ContainerCount(), 1);
    EXPECT_EQ(speciali->OpenRelatedEx(1)->ColNumber("Progressivo"), 1);
    EXPECT_EQ(speciali->OpenRelatedEx(2)->GetTable().Name(), "Commesse");  // Dettagli's own: "Generici"
    EXPECT_TRUE(RaisesLibraryError([&] { speciali->OpenRelatedEx(3); }, odb::odbErrUnknownReference));

    // The owned details of the chosen headers, as a where-text of the details' table.
    const QString headers = commesseTable.SelectText(commesseTable.KeyField(-1), "Progressivo <= 2");
    const auto& ref = commesseTable.OwnReferenceDefs().Item("Dettagli");
    auto& target = ref.RefTable();
    const QString where = target.Name() + ".OID IN (" +
                          target.SelectText(target.KeyColumn("", 0), ref.ChildWhere(headers)) + ")";
    EXPECT_EQ(o.table("DettagliSpeciali").OpenData(ref.ChildWhere(headers))->RowCount(), 1);
    EXPECT_EQ(o.table("Dettagli")
                  .OpenData("OID IN (" + target.SelectText("OID", ref.ChildWhere(headers)) + ")")
                  ->RowCount(),
              1);
    EXPECT_EQ(o.table("Dettagli").OpenData(where)->RowCount(), 1);
    EXPECT_TRUE(
        RaisesLibraryError([&] { commesseTable.Reference(1).ChildWhere(headers); }, odb::odbErrBadCondition));
}

TEST_F(ViewTest, RebuildReferenceSumsTheOwnersTotalsAgainOnce) {
    // Rules that, given no step, take the whole collection out and sum it again.
    auto rules = def->table("Dettagli");
    int before = 0, after = 0;
    auto bookOut = rules->onBeforeUpdateReference;
    auto bookIn = rules->onUpdateReference;
    rules->onBeforeUpdateReference = [&, bookOut](DataSet& ds, DataSet& ref, const QString& name, bool del) {
        if (!ref.NoCurrentRow()) return bookOut(ds, ref, name, del);
        ++before;
        ds.SetColValue("TempoImpiegato", 0);
    };
    rules->onUpdateReference = [&, bookIn](DataSet& ds, DataSet& ref, const QString& name, bool del) {
        if (!ref.NoCurrentRow()) return bookIn(ds, ref, name, del);
        ++after;
        ds.SetColValue("TempoImpiegato", ds.GetReference("Passaggi")->Aggregate("Minuti", odb::aggSum));
    };
    o.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Verdi", "CostoOrario", 60});
    auto head = commesse("", "Progressivo");
    head->RowFirst();
    auto detail = head->GetReference("Dettagli");
    ASSERT_TRUE(detail->AddRow({"NumeroCommessa", "0001/001"}));
    auto steps = detail->GetReference("Passaggi");
    ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 30}));
    ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 90}));
    // Spoilt by plain SQL.
    o.conn->Execute("UPDATE Dettagli SET TempoImpiegato = 5");
    auto dettagli = o.table("DettagliSpeciali").OpenData();
    ASSERT_EQ(dettagli->ColNumber("TempoImpiegato"), 5);
    ASSERT_TRUE(dettagli->RebuildReference("Passaggi"));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(RawCount(path("ZeltoLavrix.mdb"), "SELECT TempoImpiegato FROM Dettagli"), 120);
    EXPECT_TRUE(
        RaisesLibraryError([&] { dettagli->RebuildReference("Nessuna"); }, odb::odbErrUnknownReference));
}

TEST_F(ViewTest, LoginRowsAreDeletedOnlyWithTheFlagAndNeverThisRunsOwn) {
    // Stamped by the program's clock, not the system's.
    const double at = MakeOleDate(2026, 3, 2, 7, 30, 0);
    odb::LibraryClock::Set([at] { return at; });
    o.conn->Login("Mario", *o.db);
    odb::LibraryClock::Set({});
    EXPECT_NEAR(RawText(path("ZeltoLavrix.mdb"), "SELECT DataAccesso FROM Connessioni").toDouble(), at, 1e-9);
    auto other = std::make_shared<odb::Connection>();
    other->OpenDatabaseFile(path("ZeltoLavrix.mdb"));
    other->Login("Luigi", *o.db);
    other->CloseConnection();
    o.db->SetUserLevel(1);
    auto logins = o.table(o.db->ConnectionsTableName()).OpenData({}, "DataAccesso");
    ASSERT_EQ(logins->RowCount(), 2);
    ASSERT_TRUE(logins->FindRow("Utente='Luigi'"));
    EXPECT_FALSE(logins->DeleteRow());
    EXPECT_EQ(notify.messages.value(0), "Le connessioni si eliminano solo dal loro elenco.");
    EXPECT_TRUE(logins->DeleteRow(true));
    ASSERT_TRUE(logins->FindRow("Utente='Mario'"));
    EXPECT_FALSE(logins->DeleteRow(true));
    EXPECT_EQ(notify.messages.value(1), "Non è possibile eliminare la connessione in uso.");
    EXPECT_EQ(RawCount(path("ZeltoLavrix.mdb"), "SELECT count(*) FROM Connessioni"), 1);
}

TEST_F(ViewTest, DeletionsAreAllowedFromTheAdministrationLevelOnAnEditableDataSet) {
    auto ds = commesse();
    for (int level : {-1, 0, 1}) {
        o.db->SetUserLevel(level);
        EXPECT_EQ(ds->DeleteAllowed(), level == 1) << level;
    }
    ds->EnableEdit(false);
    EXPECT_FALSE(ds->DeleteAllowed());
}

}  // namespace
