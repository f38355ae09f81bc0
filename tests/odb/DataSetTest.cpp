// Data sets: reading in pages without holding the file, orders and filters, computed fields,
// references offered for choice, file links and the HTML export.
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "OdbTestUtil.h"
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
            EXPECT_TRUE(ds->AddRow({"Codice", QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0')), "Descrizione",
                                    QStringLiteral("Parte %1").arg(i), "Giacenza", i % 10}));
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
            sqlite3_open_v2(path("ZeltoLavrix.mdb").toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
            EXPECT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE Magazzino SET Giacenza = 99 WHERE Codice = 'P150'; COMMIT",
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
    EXPECT_EQ(o.table("Magazzino").OpenData(ds->MakeCondition("Codice", 0, "P01%", 0))->RowCount(), 10);
    EXPECT_EQ(o.table("Magazzino").OpenData(ds->MakeCondition("Codice", 0, "P012", 1))->RowCount(), 29);
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
    ASSERT_TRUE(needs->AddRow({o.table("Necessita").BaseLinkField(), bases->Bookmark(), QString::fromUtf8("QuantitàNecessaria"), 3}));
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

}  // namespace
