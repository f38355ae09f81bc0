// Data sets: reading in pages without holding the file, orders and filters, computed fields,
// references offered for choice, file links and the HTML export.
#include <QFile>

#include <cstring>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include "OdbTestUtil.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

class DataSetTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        o = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
    }
    std::shared_ptr<DataSet> parts(int count) {
        auto ds = o.table("Magazzino").OpenData();
        o.conn->BeginTrans();
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(ds->AddRow({"Codice", QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0')),
                                    "Descrizione", QStringLiteral("Parte %1").arg(i), "Giacenza", i % 10}));
        o.conn->CommitTrans();
        return o.table("Magazzino").OpenData();
    }
    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
};

TEST_F(DataSetTest, RowsAreReadInPagesAndNoStatementHoldsTheFile) {
    auto ds = parts(200);
    ASSERT_EQ(ds->RowCount(), 200);
    int count = 0;
    for (bool ok = ds->RowFirst(); ok && !ds->RowInvalid(); ok = ds->RowNext()) {
        EXPECT_EQ(ds->ColText("Codice"), QStringLiteral("P%1").arg(count, 3, 10, QLatin1Char('0')));
        ++count;
        if (count == 100) {
            // Another computer commits while this data set is half read.
            sqlite3* other = nullptr;
            sqlite3_open_v2(path("ZeltoLavrix.mdb").toUtf8().constData(), &other, SQLITE_OPEN_READWRITE,
                            nullptr);
            EXPECT_EQ(sqlite3_exec(
                          other,
                          "BEGIN IMMEDIATE; UPDATE Magazzino SET Giacenza = 99 WHERE Codice = 'P150'; COMMIT",
                          nullptr, nullptr, nullptr),
                      SQLITE_OK);
            sqlite3_close(other);
        }
    }
    EXPECT_EQ(count, 200);
    EXPECT_TRUE(ds->RowInvalid());
    // The other computer's change is seen once the data set is read again.
    ds->Requery();
    ASSERT_TRUE(ds->FindRow("Codice='P150'"));
    EXPECT_EQ(ds->ColNumber("Giacenza"), 99);
    EXPECT_TRUE(ds->RowLast());
    EXPECT_EQ(ds->ColText("Codice"), "P199");
    EXPECT_TRUE(ds->RowPrevious());
    EXPECT_EQ(ds->ColText("Codice"), "P198");
}

TEST_F(DataSetTest, OrdersFiltersAndFinding) {
    auto ds = parts(30);
    ds->SetSortOrder("Giacenza DESC, Codice");
    ds->RowFirst();
    EXPECT_EQ(ds->ColText("Codice"), "P009");
    ds->SortBy("Codice", true);
    ds->RowFirst();
    EXPECT_EQ(ds->ColText("Codice"), "P029");
    ds->SetFilter("Giacenza = 3");
    EXPECT_EQ(ds->RowCount(), 3);
    ds->SetSelWhere("Codice Like 'P01*'");
    EXPECT_EQ(ds->RowCount(), 1);
    ds->SetFilter("");
    EXPECT_EQ(ds->RowCount(), 10);
    EXPECT_TRUE(ds->FindRow("Giacenza > 4"));
    EXPECT_EQ(ds->ColText("Codice"), "P019");
    EXPECT_TRUE(ds->FindRow("Giacenza > 4", true));
    EXPECT_EQ(ds->ColText("Codice"), "P018");
    EXPECT_FALSE(ds->FindRow("Giacenza > 100"));
    EXPECT_TRUE(ds->NoCurrentRow());
    const Variant bm = o.table("Magazzino").OpenData("Codice='P012'")->Bookmark();
    EXPECT_TRUE(ds->GotoBookmark(bm));
    EXPECT_EQ(ds->ColText("Codice"), "P012");
    EXPECT_EQ(o.table("Magazzino").OpenData(ds->RowsCondition())->RowCount(), 10);
    // The value is compared as it stands: "%" is no wildcard.
    EXPECT_EQ(o.table("Magazzino").OpenData(ds->MakeCondition("Codice", 0, "P01%", 0))->RowCount(), 0);
    EXPECT_EQ(o.table("Magazzino").OpenData(ds->MakeCondition("Codice", 0, "P012", 1))->RowCount(), 29);
}

TEST_F(DataSetTest, ABadOrderOrFilterLeavesTheViewAsItWas) {
    auto ds = parts(12);
    ds->SetSortOrder("Codice DESC");
    ds->SetFilter("Giacenza < 5");
    for (const char* order : {"Codice DESC DESC", "NonEsiste", "Codice,"})
        EXPECT_THROW(ds->SetSortOrder(order), AppError) << order;
    EXPECT_THROW(ds->SetFilter("Giacenza <"), AppError);
    EXPECT_THROW(ds->SetSelWhere("(Codice = 'P001'"), AppError);
    EXPECT_EQ(ds->SortOrder(), "Codice DESC");
    EXPECT_EQ(ds->Filter(), "Giacenza < 5");
    EXPECT_EQ(ds->RowCount(), 7);
    ds->RowFirst();
    EXPECT_EQ(ds->ColText("Codice"), "P011");
}

TEST_F(DataSetTest, ComputedFieldsAreReadAndSortedByTheirNames) {
    auto ds = parts(5);
    ds->SetSelFields("*,(Giacenza * 10 - 1) As Scorta, Codice & '/' & Descrizione As Etichetta");
    ds->SetSortOrder("Scorta DESC");
    ds->RowFirst();
    EXPECT_EQ(ds->ColText("Codice"), "P004");
    EXPECT_EQ(ds->ColNumber("Scorta"), 39);
    EXPECT_EQ(ds->ColText("Etichetta"), "P004/Parte 4");
    EXPECT_TRUE(ds->ColExists("Scorta"));
}

// One order text means what each data set's field list makes of it, however often it was met.
TEST_F(DataSetTest, AnOrderByAComputedNameFollowsEachDataSetsFieldList) {
    auto ds = parts(5);
    for (int round = 0; round < 2; ++round) {
        ds->SetSelFields("*,(Giacenza * 10 - 1) As Scorta");
        ds->SetSortOrder("Scorta DESC");
        ds->RowFirst();
        EXPECT_EQ(ds->ColText("Codice"), "P004");
        auto other = o.table("Magazzino").OpenData();
        other->SetSelFields("*,(0 - Giacenza) As Scorta");
        other->SetSortOrder("Scorta DESC");
        other->RowFirst();
        EXPECT_EQ(other->ColText("Codice"), "P000");
        auto plain = o.table("Magazzino").OpenData();
        EXPECT_THROW(plain->SetSortOrder("Scorta DESC"), AppError);
        EXPECT_EQ(plain->SortOrder(), "");
    }
}

// A name reads and writes the same column however it comes: a constant text, a string, another letter
// case or Unicode form, a text whose content changes at the same address; on the row's base table
// too, and the row identity and computed columns by constant name as well.
TEST_F(DataSetTest, FieldNamesResolveAlikeAsConstantsAndStrings) {
    auto special = o.table("DettagliSpeciali").OpenData();
    ASSERT_TRUE(special->AddRow({"NumeroCommessa", "A1/001", "Quantità", 3}));
    EXPECT_EQ(special->ColText("NumeroCommessa"), "A1/001");
    EXPECT_EQ(special->ColText(QStringLiteral("numerocommessa")), "A1/001");
    for (const QString& spelling :
         {QStringLiteral("Quantità"), QStringLiteral("QUANTITÀ"), QString::fromUtf8("Quantita\u0300")})
        EXPECT_EQ(special->ColNumber(spelling), 3) << spelling.toStdString();
    EXPECT_EQ(special->ColNumber("quantità"), 3);
    ASSERT_TRUE(special->SetColValue("QUANTITÀ", 4));
    EXPECT_EQ(special->ColNumber(QStringLiteral("Quantità")), 4);
    char name[32] = "TempoImpiegato";
    ASSERT_TRUE(special->SetColValue(name, 7));
    std::strcpy(name, "Quantità");
    EXPECT_EQ(special->ColNumber(name), 4);
    EXPECT_EQ(special->ColNumber("TempoImpiegato"), 7);
    EXPECT_EQ(special->ColValue("oid").toLong(), special->Bookmark().toLong());
    EXPECT_TRUE(RaisesLibraryError([&] { special->ColValue("Inesistente"); }, odb::odbErrUnknownField));
    EXPECT_TRUE(RaisesLibraryError([&] { special->SetColValue("Inesistente", 1); }, odb::odbErrUnknownField));
    ASSERT_TRUE(special->SaveRow());
    special->SetSelFields("*,(TempoImpiegato * 2) As Doppio");
    EXPECT_EQ(special->ColNumber("Doppio"), 14);
}

TEST_F(DataSetTest, ReferencesOfferedForChoiceRaiseOnSelectReferenceFirst) {
    auto header = o.table("Commesse").OpenData();
    ASSERT_TRUE(header->AddRow({"Cliente", ""}));
    ASSERT_TRUE(o.table("Clienti").OpenData()->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    ASSERT_TRUE(o.table("Clienti").OpenData()->AddRow({"Codice", "C2", "Descrizione", "Verdi"}));
    QStringList names;
    def->table("Commesse")->onSelectReference = [&](DataSet& ds, DataSet& offered, const QString& name) {
        names << name;
        if (name == "Cliente") offered.SetSelWhere("Codice <> ''");
        if (name == "Dettagli" && ds.ColNumber("TempoTotale") > 0) ds.RejectChange("Commessa chiusa", 0);
    };
    auto offered = header->SelectReference("Cliente");
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->RowCount(), 2);
    // The listing of a collection.
    ASSERT_TRUE(header->SelectReference("Dettagli"));
    // A refusal gives no rows and says why once.
    header->SetColValue("TempoTotale", 5);
    EXPECT_FALSE(header->SelectReference("Dettagli"));
    EXPECT_EQ(Lines(notify.messages), "Commessa chiusa");
    // The base rows offered for a new shared-base child carry the base table in the name.
    ASSERT_TRUE(o.table("Magazzino").OpenData()->AddRow({"Codice", "P1", "Descrizione", "Vite"}));
    auto bases = header->SelectReference("Fabbisogni", true);
    ASSERT_TRUE(bases);
    EXPECT_EQ(bases->GetTable().Name(), "Magazzino");
    EXPECT_EQ(bases->RowCount(), 1);
    EXPECT_EQ(Lines(names), "Cliente\nDettagli\nDettagli\nFabbisogni.Magazzino");
    // The chosen base row becomes the new child's base link.
    header->SetColValue("TempoTotale", 0);
    ASSERT_TRUE(header->SaveRow());
    auto needs = header->GetReference("Fabbisogni");
    ASSERT_TRUE(needs->AddRow({o.table("Necessita").BaseLinkField(), bases->Bookmark(),
                               QString::fromUtf8("QuantitàNecessaria"), 3}));
    EXPECT_EQ(needs->ColText("Codice"), "P1");
    EXPECT_EQ(needs->ParentRow()->Bookmark().toLong(), header->Bookmark().toLong());
}

TEST_F(DataSetTest, FileLinksKeepNamesUnderTheDocumentFolder) {
    odb::DbmsGlobal::SetDocumentFolder("ZeltoLavrix", path("Docs"));
    auto ds = parts(1);
    ds->RowFirst();
    ds->SetColFilePath("Descrizione", path("Docs/disegni/p1.pdf"));
    EXPECT_EQ(ds->ColText("Descrizione"), "disegni/p1.pdf");
    EXPECT_EQ(ds->ColFilePath("Descrizione"), path("Docs/disegni/p1.pdf"));
    ds->SetColFilePath("Descrizione", "/altrove/p2.pdf");
    EXPECT_EQ(ds->ColFilePath("Descrizione"), "/altrove/p2.pdf");
}

TEST_F(DataSetTest, ExportHtmlEscapesValues) {
    auto ds = o.table("Clienti").OpenData();
    ASSERT_TRUE(ds->AddRow({"Codice", "<b>", "Descrizione", "Rossi & Figli \"Srl\""}));
    const QString file = path("export.html");
    ds->ExportHtml(2, file, nullptr, "Codice,Descrizione");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(html.contains("<td>&lt;b&gt;</td>"));
    EXPECT_TRUE(html.contains("<td>Rossi &amp; Figli &quot;Srl&quot;</td>"));
    EXPECT_TRUE(html.contains("<td>&lt;indefinito&gt;</td>"));
    EXPECT_FALSE(html.contains("<b>"));
}

// With no list the page has the columns a grid of the data set shows: its browse columns, a
// lookup by its target's display value and times that are not listed fields among them.
TEST_F(DataSetTest, ExportHtmlWithoutAListWritesTheViewsColumnsAsShown) {
    auto presenze = std::make_shared<TestDefinition>();
    BuildShopSchema(*presenze);
    presenze->add("Presenze")->structure = [](odb::FieldDefs& f, odb::IndexDefs& i, odb::ReferenceDefs& r) {
        f.AddField("Data", odb::ftDate, 0, 0, {}, -100, -100, -100, true, {}, {}, 0);
        f.AddField("OraEntrata", odb::ftTime, 0, 0, {}, -100, -100, -100, false, {}, {}, 0);
        f.AddField("Parola", odb::ftText, 16, 0, {}, -100, 1, -100, true, {}, {}, 0);
        Long(f, "MinutiPermesso");
        r.AddReference("Operaio", "Operai", false, false, "Codice", "Nominativo", 15, -100, 1, {}, -2, -1, 0);
        i.SetBrowseColumns("Operaio,Data,OraEntrata,Parola");
    };
    Opened p = OpenDefinition(path("Presenze.mdb"), presenze, &notify);
    ASSERT_TRUE(p.table("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Verdi <Anna>"}));
    auto ds = p.table("Presenze").OpenData({}, {}, "*,Operaio");
    ASSERT_TRUE(
        ds->AddRow({"Operaio", "7", "Data", Variant::fromDate(MakeOleDate(2024, 3, 5)), "OraEntrata",
                    Variant::fromDate(MakeOleTime(7, 45, 0)), "Parola", "segreta", "MinutiPermesso", 30}));
    ds->RowFirst();
    const QString current = ds->Bookmark(0).toText();
    const QString file = path("presenze.html");
    ds->ExportHtml(2, file, nullptr);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(html.contains("<tr><th>Operaio</th><th>Data</th><th>OraEntrata</th><th>Parola</th></tr>"))
        << html.toStdString();
    EXPECT_TRUE(
        html.contains("<tr><td>Verdi &lt;Anna&gt;</td><td>05/03/2024</td><td>07:45</td>"
                      "<td>********</td></tr>"))
        << html.toStdString();
    EXPECT_EQ(ds->Bookmark(0).toText(), current);  // the current row stays

    // A list the user chose (a field the view leaves out among them) shows its lookups the same way.
    ds->ExportHtml(2, file, nullptr, "MinutiPermesso, Operaio");
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).contains("<tr><td>30</td><td>Verdi &lt;Anna&gt;</td></tr>"));
}

}  // namespace

namespace {

TEST_F(DataSetTest, ConditionsBuiltByTheLibrarySelectTheRowsTheRulesMean) {
    auto header = o.table("Commesse").OpenData();
    ASSERT_TRUE(o.table("Clienti").OpenData()->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    ASSERT_TRUE(header->AddRow({"Cliente", "C1"}));
    ASSERT_TRUE(header->AddRow({"Cliente", ""}));
    auto first = o.table("Commesse").OpenData("Progressivo=1");
    const Variant customer = first->ReferenceKey("Cliente");
    // Rows whose lookup links (or does not link) a row.
    EXPECT_EQ(o.table("Commesse").OpenData(first->ReferenceCondition("Cliente", true, customer))->RowCount(),
              1);
    EXPECT_EQ(o.table("Commesse").OpenData(first->ReferenceCondition("Cliente", false, customer))->RowCount(),
              1);
    EXPECT_EQ(
        o.table("Commesse").OpenData(first->GetReferenceDef("Cliente").KeyCondition(customer))->RowCount(),
        1);
    EXPECT_EQ(&o.table("Commesse").ReferenceTable("Cliente"), &o.table("Clienti"));
    // A collection's key condition selects the target rows owned by that row.
    auto details = first->GetReference("Dettagli");
    ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A1"}));
    ASSERT_TRUE(o.table("Commesse")
                    .OpenData("Progressivo=2")
                    ->GetReference("Dettagli")
                    ->AddRow({"NumeroCommessa", "B1"}));
    const QString owned = first->GetReferenceDef("Dettagli").KeyCondition(first->Bookmark());
    auto mine = o.table("DettagliSpeciali").OpenData(owned);
    ASSERT_EQ(mine->RowCount(), 1);
    EXPECT_EQ(mine->ColText("NumeroCommessa"), "A1");
    // The base link of a shared-base table as a field condition.
    ASSERT_TRUE(o.table("Magazzino").OpenData()->AddRow({"Codice", "P1", "Descrizione", "Vite"}));
    auto part = o.table("Magazzino").OpenData("Codice='P1'");
    auto needs = o.table("Necessita").OpenData();
    ASSERT_TRUE(needs->AddRow({o.table("Necessita").BaseLinkField(), part->Bookmark()}));
    ASSERT_TRUE(needs->AddRow({"Codice", "P2"}));
    const odb::FieldDef* link = o.table("Necessita").BaseLinkFieldDef();
    ASSERT_TRUE(link);
    EXPECT_EQ(o.table("Necessita").OpenData(link->MakeCondition(needs->BaseKey()))->RowCount(), 1);
    EXPECT_EQ(o.table("Necessita").OpenData(link->MakeCondition(part->Bookmark(), 1))->RowCount(), 1);
    EXPECT_TRUE(o.table("Necessita").HasField("Giacenza"));
    EXPECT_EQ(o.table("Necessita").FieldByName("Giacenza")->table, "Magazzino");
    EXPECT_EQ(o.table("Necessita").KeyField(-1), "OID");
}

TEST_F(DataSetTest, AnArchiveAttachedWithoutADefinitionIsReadAndImported) {
    // An archive: a second file made by the same program.
    const QString archive = path("Archivio.mdb");
    {
        auto def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        TestNotify n;
        auto a = OpenDefinition(archive, def, &n);
        auto clienti = a.table("Clienti").OpenData();
        ASSERT_TRUE(clienti->AddRow({"Codice", "A1", "Descrizione", "Archiviato"}));
        ASSERT_TRUE(clienti->AddRow({"Codice", "A2", "Descrizione", "Vecchio"}));
        ASSERT_TRUE(clienti->AddRow({"Codice", "A3", "Descrizione", "Presente"}));
    }
    // A row the open database holds already (same unique description) is left out.
    ASSERT_TRUE(o.table("Clienti").OpenData()->AddRow({"Codice", "X3", "Descrizione", "Presente"}));
    auto conn = std::make_shared<odb::Connection>();
    conn->OpenDatabaseFile(archive);
    auto attached = odb::DbmsGlobal::AttachDatabase(conn, &notify, "");
    ASSERT_TRUE(attached->Tables().Exists("Clienti"));
    EXPECT_TRUE(attached->Tables().Exists("DettagliSpeciali"));
    EXPECT_EQ(attached->Tables().Item("DettagliSpeciali").BaseTableName(), "Dettagli");
    auto source = attached->Tables().Item("Clienti").OpenData("Codice <> ''");
    ASSERT_EQ(source->RowCount(), 3);
    auto destination = o.table("Clienti").OpenData();
    o.conn->BeginTrans();
    EXPECT_EQ(source->ImportRows(*destination), 2);
    o.conn->CommitTrans();
    source->CloseData();
    conn->CloseConnection();
    EXPECT_EQ(RawCount(path("ZeltoLavrix.mdb"), "SELECT count(*) FROM Clienti WHERE Codice IN ('A1','A2')"),
              2);
    EXPECT_EQ(RawCount(path("ZeltoLavrix.mdb"), "SELECT count(*) FROM Clienti WHERE Descrizione='Presente'"),
              1);
    // An archive that cannot be written is still read.
    QFile::setPermissions(archive, QFile::ReadOwner);
    auto readOnly = std::make_shared<odb::Connection>();
    readOnly->OpenDatabaseFile(archive);
    EXPECT_TRUE(readOnly->IsReadOnly() || getuid() == 0);
    auto again = odb::DbmsGlobal::AttachDatabase(readOnly, &notify, "");
    EXPECT_EQ(again->Tables().Item("Clienti").OpenData()->RowCount(), 4);
    readOnly->CloseConnection();
    QFile::setPermissions(archive, QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace

namespace {

TEST_F(DataSetTest, ScriptsReachTheDataSetByMemberNames) {
    parts(3);
    auto ds = o.table("Magazzino").OpenData();
    ObjectRef obj = ds->AsObject();
    VariantList none;
    VariantList code{Variant("Codice")};
    EXPECT_EQ(obj->className(), "DataSet");
    EXPECT_EQ(obj->invoke("RowCount", CallKind::PropertyGet, none).toLong(), 3);
    EXPECT_EQ(obj->invoke("colvalue", CallKind::PropertyGet, code).toText(), "P000");
    VariantList order{Variant("Codice DESC")};
    obj->invoke("SortOrder", CallKind::PropertyLet, order);
    obj->invoke("RowFirst", CallKind::Method, none);
    EXPECT_EQ(obj->invoke("ColValue", CallKind::PropertyGet, code).toText(), "P002");
    obj->invoke("RowNext", CallKind::Method, none);
    EXPECT_EQ(obj->invoke("ColText", CallKind::PropertyGet, code).toText(), "P001");
    VariantList filter{Variant("Giacenza = 0")};
    obj->invoke("Filter", CallKind::PropertyLet, filter);
    EXPECT_EQ(obj->invoke("RowCount", CallKind::PropertyGet, none).toLong(), 1);
    EXPECT_FALSE(obj->invoke("RowInvalid", CallKind::PropertyGet, none).toBool());
    obj->invoke("RowNext", CallKind::Method, none);
    EXPECT_TRUE(obj->invoke("RowInvalid", CallKind::PropertyGet, none).toBool());
    EXPECT_THROW(obj->invoke("Nessuno", CallKind::Method, none), AppError);
    // A reference's rows come back as an object too.
    auto header = o.table("Commesse").OpenData();
    ASSERT_TRUE(header->AddRow({"Cliente", ""}));
    VariantList cliente{Variant("Cliente")};
    ObjectRef ref = header->AsObject()->invoke("GetReference", CallKind::PropertyGet, cliente).toObject();
    VariantList descr{Variant("Descrizione")};
    EXPECT_EQ(ref->invoke("FormattedColValue", CallKind::PropertyGet, descr).toText(), "<indefinito>");
}

TEST_F(DataSetTest, MembersThePrintRunsRead) {
    auto ds = parts(2);
    ds->RowLast();
    ds->RowNext();
    EXPECT_TRUE(ds->RowInvalid());
    EXPECT_TRUE(ds->RowUnavailable());
    EXPECT_TRUE(ds->StepToLastRow());
    EXPECT_EQ(ds->ColText("Codice"), "P001");
    // An empty row: no rule fills it.
    ds->AddEmptyRow();
    EXPECT_TRUE(ds->ColIsNull("Giacenza"));
    ds->SetColValue("Codice", "P9");
    ASSERT_TRUE(ds->SaveRow());
    EXPECT_TRUE(ds->RowWasAdded());
    ds->SetColValue("Descrizione", "Nuova");
    ASSERT_TRUE(ds->SaveRow());
    EXPECT_FALSE(ds->RowWasAdded());
    EXPECT_FALSE(ds->ReadOnly());
    ds->EnableEdit(false);
    EXPECT_TRUE(ds->ReadOnly());
    EXPECT_TRUE(RaisesLibraryError([&] { ds->SetColValue("Codice", "X"); }, odb::odbErrReadOnly));
}

TEST_F(DataSetTest, MembersTheMainWindowReads) {
    auto ds = parts(3);
    auto& table = o.table("Magazzino");
    EXPECT_TRUE(RaisesLibraryError([&] { table.Field("Nessuno"); }, odb::odbErrUnknownField));
    // The key compared with Null: a condition that no row meets.
    EXPECT_EQ(table.OpenData(table.MakeCondition(table.KeyField(-1), Variant::null()))->RowCount(), 0);
    EXPECT_EQ(table.OpenData(table.MakeCondition("Codice", "P001"))->RowCount(), 1);
    EXPECT_EQ(table.OpenData("Codice=" + ds->ValueLiteral("Codice", 0, "P00'1"))->RowCount(), 0);
    EXPECT_EQ(table.OpenData("Giacenza=" + ds->ValueLiteral("Giacenza", 0, 2))->RowCount(), 1);
    EXPECT_EQ(ds->FieldCount(), 3);
    EXPECT_EQ(ds->Field(2)->Name(), "Descrizione");
    EXPECT_EQ(ds->Field(4), nullptr);
    ds->SetSelFields("Codice,Giacenza");
    EXPECT_EQ(ds->FieldCount(), 2);
    EXPECT_EQ(ds->Field(2)->Name(), "Giacenza");
}

// Steps with a flag, and an index of the flagged steps of each owner.
std::shared_ptr<TestDefinition> FlaggedStepsSchema(const QString& indexCondition) {
    auto def = std::make_shared<TestDefinition>();
    BuildShopSchema(*def);
    auto steps = def->table("Passaggi");
    steps->structure = [structure = steps->structure, indexCondition](odb::FieldDefs& f, odb::IndexDefs& i,
                                                                      odb::ReferenceDefs& r) {
        structure(f, i, r);
        Flag(f, "Aperto");
        i.AddIndex("", false).AddParentLink().Where(indexCondition);
    };
    return def;
}

TEST_F(DataSetTest, AReferenceIsAskedForRowsWithoutReadingThem) {
    o.conn->CloseConnection();
    o = OpenDefinition(path("Probe.mdb"), FlaggedStepsSchema("Aperto"), &notify);
    auto header = o.table("Commesse").OpenData();
    ASSERT_TRUE(header->AddRow({"Cliente", ""}));
    auto details = header->GetReference("Dettagli");
    ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A2"}));
    ASSERT_TRUE(details->GetReference("Passaggi")->AddRow({"Minuti", 50, "Aperto", true}));
    ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A1"}));
    // Another detail's steps are not this one's.
    EXPECT_FALSE(details->ReferenceHasRows("Passaggi"));
    EXPECT_TRUE(details->ReferenceEmpty("Passaggi"));
    auto steps = details->GetReference("Passaggi");
    for (int minutes : {10, 20, 30})
        ASSERT_TRUE(steps->AddRow({"Minuti", minutes, "Aperto", minutes == 30}));
    ASSERT_TRUE(steps->FindRow("Minuti = 30"));
    const Variant last = steps->Bookmark();
    struct Case {
        QString where;
        Variant except;
        bool expected;
    };
    const Case cases[] = {
        {"", Variant::missing(), true},
        {"Minuti > 25", Variant::missing(), true},
        {"Minuti > 40", Variant::missing(), false},
        {"Minuti > 25", last, false},
        {"Minuti > 15", last, true},
        {"Aperto", Variant::missing(), true},
        {"Aperto", last, false},
        {"Not Aperto", last, true},
        {"Aperto", Variant::null(), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(details->ReferenceHasRows("Passaggi", c.where, c.except), c.expected)
            << c.where.toStdString() << " except " << c.except.toText().toStdString();
    EXPECT_FALSE(details->ReferenceEmpty("Passaggi"));
    // A lookup: its one row, if linked.
    EXPECT_FALSE(steps->ReferenceHasRows("Operaio"));
    EXPECT_TRUE(header->ReferenceHasRows("Dettagli", "NumeroCommessa = 'A1'"));
    // A row not stored yet owns nothing.
    ASSERT_TRUE(details->NewRow());
    EXPECT_FALSE(details->ReferenceHasRows("Passaggi"));
    details->CancelRow();
}

TEST_F(DataSetTest, AnIndexOfSomeRowsTakesAConditionWithoutLiterals) {
    o.conn->CloseConnection();
    EXPECT_THROW(OpenDefinition(path("Literal.mdb"), FlaggedStepsSchema("Minuti > 25"), &notify), AppError);
}

}  // namespace
