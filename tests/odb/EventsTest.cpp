// Row and field events on the shop schema: their order, running totals climbing to the header,
// deletions, lookups, shared-base rows and the non-owned collection.
#include <gtest/gtest.h>

#include "OdbTestUtil.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

class EventsTest : public TempFolderTest {
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
        def->log.clear();
    }
    QString file() const { return path("ZeltoLavrix.mdb"); }
    int64_t raw(const QString& sql) const { return RawCount(file(), sql); }

    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
    std::shared_ptr<DataSet> header, details, steps;
};

TEST_F(EventsTest, AChildSaveClimbsToTheHeader) {
    ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 90}));
    EXPECT_EQ(steps->ColValue("Costo").toCurrency().raw(), 450000);  // 90 min at 30 an hour
    EXPECT_EQ(details->ColNumber("TempoImpiegato"), 90);
    EXPECT_EQ(details->ColValue("Costo").toCurrency().raw(), 450000);
    EXPECT_EQ(header->ColNumber("TempoTotale"), 90);
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 90);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 90);
    EXPECT_EQ(raw("SELECT CostoTotale FROM Commesse"), 450000);

    // Editing a stored step takes the old value out and puts the new one in.
    steps->SetColValue("Minuti", 30);
    ASSERT_TRUE(steps->SaveRow());
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 30);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 30);
    EXPECT_EQ(raw("SELECT CostoTotale FROM Commesse"), 150000);
}

TEST_F(EventsTest, EventsComeInTheirOrder) {
    ASSERT_TRUE(steps->AddRow({"Minuti", 10}));
    // Every event goes to each class of the row's chain, base-most first.
    EXPECT_EQ(Lines(def->log), Lines(QStringList({
                                   "Passaggi.OnNewRow",
                                   "Passaggi.OnBeforeUpdateField(Minuti)",
                                   "Passaggi.OnUpdateField(Minuti)",
                                   // The rule's own write inside OnUpdateField, then OnNewRow's.
                                   "Passaggi.OnBeforeUpdateField(Costo)",
                                   "Passaggi.OnUpdateField(Costo)",
                                   "Passaggi.OnBeforeUpdateField(Costo)",
                                   "Passaggi.OnUpdateField(Costo)",
                                   "Dettagli.OnNewReference(Passaggi)",
                                   "DettagliSpeciali.OnNewReference(Passaggi)",
                                   // The pair (Minuti, 10).
                                   "Passaggi.OnBeforeUpdateField(Minuti)",
                                   "Passaggi.OnUpdateField(Minuti)",
                                   "Passaggi.OnBeforeUpdateField(Costo)",
                                   "Passaggi.OnUpdateField(Costo)",
                                   // The store, then the owner's events and the owner's store.
                                   "Passaggi.OnUpdateRow",
                                   "Dettagli.OnUpdateReference(Passaggi,0,Passaggi)",
                                   "Dettagli.OnBeforeUpdateField(TempoImpiegato)",
                                   "DettagliSpeciali.OnBeforeUpdateField(TempoImpiegato)",
                                   "Dettagli.OnUpdateField(TempoImpiegato)",
                                   "DettagliSpeciali.OnUpdateField(TempoImpiegato)",
                                   "Dettagli.OnBeforeUpdateField(Costo)",
                                   "DettagliSpeciali.OnBeforeUpdateField(Costo)",
                                   "Dettagli.OnUpdateField(Costo)",
                                   "DettagliSpeciali.OnUpdateField(Costo)",
                                   "DettagliSpeciali.OnUpdateReference(Passaggi,0,Passaggi)",
                                   "Dettagli.OnUpdateRow",
                                   "DettagliSpeciali.OnUpdateRow",
                                   "Commesse.OnBeforeUpdateReference(Dettagli,0,DettagliSpeciali)",
                                   "Commesse.OnBeforeUpdateField(TempoTotale)",
                                   "Commesse.OnUpdateField(TempoTotale)",
                                   "Commesse.OnBeforeUpdateField(CostoTotale)",
                                   "Commesse.OnUpdateField(CostoTotale)",
                                   "Commesse.OnUpdateReference(Dettagli,0,DettagliSpeciali)",
                                   "Commesse.OnBeforeUpdateField(TempoTotale)",
                                   "Commesse.OnUpdateField(TempoTotale)",
                                   "Commesse.OnBeforeUpdateField(CostoTotale)",
                                   "Commesse.OnUpdateField(CostoTotale)",
                                   "Commesse.OnUpdateRow",
                               })));
}

TEST_F(EventsTest, BeforeUpdateFieldStillSeesTheOldValue) {
    QStringList seen;
    def->table("Passaggi")->onBeforeUpdateField = [&](DataSet& ds, const QString& c) {
        if (c == "Minuti") seen << "before:" + ds.ColValue("Minuti").toText();
    };
    def->table("Passaggi")->onUpdateField = [&](DataSet& ds, const QString& c) {
        if (c == "Minuti") seen << "after:" + ds.ColValue("Minuti").toText();
    };
    ASSERT_TRUE(steps->AddRow({"Minuti", 12}));
    steps->SetColValue("Minuti", 15);
    EXPECT_EQ(Lines(seen),
              Lines(QStringList({"before:", "after:0", "before:0", "after:12", "before:12", "after:15"})));
}

TEST_F(EventsTest, ADeletedChildTakesItsContributionOut) {
    ASSERT_TRUE(steps->AddRow({"Minuti", 40}));
    ASSERT_TRUE(steps->AddRow({"Minuti", 25}));
    ASSERT_EQ(raw("SELECT TempoTotale FROM Commesse"), 65);
    def->log.clear();
    steps->RowFirst();
    ASSERT_TRUE(steps->DeleteRow());
    EXPECT_EQ(raw("SELECT count(*) FROM Passaggi"), 1);
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 25);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 25);
    EXPECT_TRUE(def->log.contains("Passaggi.OnDeleteRow"));
    EXPECT_TRUE(def->log.contains("Dettagli.OnBeforeUpdateReference(Passaggi,1,Passaggi)"));
    EXPECT_TRUE(def->log.contains("Dettagli.OnUpdateReference(Passaggi,1,-)"));
    EXPECT_LT(def->log.indexOf("Passaggi.OnDeleteRow"),
              def->log.indexOf("Dettagli.OnBeforeUpdateReference(Passaggi,1,Passaggi)"));
}

TEST_F(EventsTest, DeletingADetailCascadesToItsStepsAndItsBaseRow) {
    ASSERT_TRUE(steps->AddRow({"Minuti", 40}));
    ASSERT_EQ(raw("SELECT TempoTotale FROM Commesse"), 40);
    ASSERT_TRUE(details->DeleteRow());
    EXPECT_EQ(raw("SELECT count(*) FROM Passaggi"), 0);
    EXPECT_EQ(raw("SELECT count(*) FROM Dettagli"), 0);
    EXPECT_EQ(raw("SELECT count(*) FROM DettagliSpeciali"), 0);
    EXPECT_EQ(raw("SELECT TempoTotale FROM Commesse"), 0);
    EXPECT_TRUE(header->GetReference("Dettagli")->DataEmpty());
}

TEST_F(EventsTest, DeleteRowsOnACollectionRaisesTheOwnerEventsOnce) {
    for (int m : {5, 6, 7})
        ASSERT_TRUE(steps->AddRow({"Minuti", m}));
    def->log.clear();
    int recomputed = 0;
    def->table("Dettagli")->onUpdateReference = [&](DataSet& ds, DataSet& ref, const QString& name, bool) {
        if (name != "Passaggi") return;
        ++recomputed;
        EXPECT_TRUE(ref.NoCurrentRow());
        ds.SetColValue("TempoImpiegato", ds.GetReference("Passaggi")->Aggregate("Minuti", 0));
    };
    ASSERT_TRUE(steps->DeleteRows());
    EXPECT_EQ(recomputed, 1);
    EXPECT_EQ(def->log.filter("Dettagli.OnBeforeUpdateReference").size(), 1);
    EXPECT_EQ(def->log.filter("Passaggi.OnDeleteRow").size(), 3);
    EXPECT_EQ(raw("SELECT TempoImpiegato FROM Dettagli"), 0);
    EXPECT_EQ(raw("SELECT count(*) FROM Passaggi"), 0);
}

TEST_F(EventsTest, ExclusiveDerivedRowsCarryTheirBaseRow) {
    EXPECT_EQ(raw("SELECT count(*) FROM Dettagli"), 1);
    EXPECT_EQ(RawText(file(), "SELECT _Derived FROM Dettagli"), "DettagliSpeciali");
    EXPECT_EQ(raw("SELECT count(*) FROM Dettagli d JOIN DettagliSpeciali s ON s.OID = d.OID"), 1);
    // The detail kind's numbering ran after the base class's OnNewRow.
    EXPECT_EQ(details->ColNumber("SottoProgressivo"), 1);
    EXPECT_EQ(details->FormattedColValue("SottoProgressivo"), "001");
    ASSERT_TRUE(details->AddRow({"NumeroCommessa", "A0001/002"}));
    EXPECT_EQ(details->FormattedColValue("SottoProgressivo"), "002");
    // A base row reached through a base-table data set still reaches its derived class.
    auto base = o.table("Dettagli").OpenData("NumeroCommessa='A0001/001'");
    ASSERT_EQ(base->RowCount(), 1);
    EXPECT_EQ(base->ColNumber("SottoProgressivo"), 1);
    def->log.clear();
    base->SetColValue("Chiuso", true);
    ASSERT_TRUE(base->SaveRow());
    EXPECT_TRUE(def->log.contains("DettagliSpeciali.OnUpdateRow"));
    EXPECT_TRUE(def->log.contains("Commesse.OnUpdateReference(Dettagli,0,Dettagli)")) << Lines(def->log);
}

TEST_F(EventsTest, ACollectionOfBaseRowsOpenedAsADerivedTable) {
    auto special = header->GetReference("Generici", "", "DettagliSpeciali");
    EXPECT_EQ(special->GetTable().Name(), "DettagliSpeciali");
    ASSERT_TRUE(special->AddRow({"NumeroCommessa", "G1", QString::fromUtf8("Quantità"), 4}));
    EXPECT_EQ(RawText(file(), "SELECT _Owner FROM Dettagli WHERE NumeroCommessa='G1'"), "Commesse.Generici");
    EXPECT_EQ(header->GetReference("Generici")->RowCount(), 1);
    EXPECT_EQ(
        header->GetReference("Generici", "", "DettagliSpeciali")->ColNumber(QString::fromUtf8("Quantità")),
        4);
    EXPECT_TRUE(def->log.contains("Commesse.OnNewReference(Generici)"));
    EXPECT_TRUE(def->log.contains("Commesse.OnUpdateReference(Generici,0,DettagliSpeciali)"));
    // The detail owned through "Dettagli" is not one of them.
    EXPECT_EQ(header->GetReference("Dettagli")->RowCount(), 1);
    EXPECT_EQ(special->ParentRow()->Bookmark().toLong(), header->Bookmark().toLong());
}

TEST_F(EventsTest, LookupChangesRaiseTheReferencePairWithOldAndNewTarget) {
    ASSERT_TRUE(o.table("Clienti").OpenData()->AddRow({"Codice", "C1", "Descrizione", "Bianchi"}));
    QStringList seen;
    def->table("Commesse")->onBeforeUpdateReference = [&](DataSet&, DataSet& ref, const QString& name, bool) {
        if (name == "Cliente")
            seen << "old:" + (ref.NoCurrentRow() ? QString("-") : ref.ColText("Descrizione"));
    };
    def->table("Commesse")->onUpdateReference = [&](DataSet&, DataSet& ref, const QString& name, bool) {
        if (name == "Cliente")
            seen << "new:" + (ref.NoCurrentRow() ? QString("-") : ref.ColText("Descrizione"));
    };
    EXPECT_FALSE(header->IsChangedRow(0, 0));
    header->SetReference("Cliente", "C1");
    EXPECT_TRUE(header->IsChangedRow(0, 0));
    EXPECT_EQ(header->GetReference("Cliente")->ColText("Descrizione"), "Bianchi");
    ASSERT_TRUE(header->SaveRow());
    EXPECT_FALSE(header->IsChangedRow(0, 0));
    header->SetReference("Cliente", Variant::null());
    EXPECT_TRUE(header->ReferenceEmpty("Cliente"));
    EXPECT_EQ(Lines(seen), Lines(QStringList({"old:<indefinito>", "new:Bianchi", "old:Bianchi", "new:-"})));
    // A reference without a key field is named by its first display value.
    EXPECT_TRUE(RaisesLibraryError([&] { header->SetReference("Cliente", "Nessuno"); }, odb::odbErrBadValue));
}

TEST_F(EventsTest, SharedBaseRowsLinkAnExistingBaseRow) {
    auto parts = o.table("Magazzino").OpenData();
    ASSERT_TRUE(parts->AddRow({"Codice", "P1", "Descrizione", "Vite"}));
    const Variant part = parts->Bookmark();
    auto needs = o.table("Necessita").OpenData();
    // Pairs given as (quantity, base link): the base link is applied first.
    ASSERT_TRUE(needs->AddRow(
        {QString::fromUtf8("QuantitàNecessaria"), 4, o.table("Necessita").BaseLinkField(), part}));
    EXPECT_EQ(raw("SELECT count(*) FROM Magazzino"), 1);
    EXPECT_EQ(needs->ColText("Codice"), "P1");
    EXPECT_EQ(needs->BaseKey().toLong(), part.toLong());
    ASSERT_TRUE(needs->AddRow(
        {o.table("Necessita").BaseLinkField(), part, QString::fromUtf8("QuantitàNecessaria"), 2}));
    // Base fields are read and written by their plain names, on the shared base row.
    needs->SetColValue("Giacenza", 9);
    ASSERT_TRUE(needs->SaveRow());
    parts->Requery();
    EXPECT_EQ(parts->ColNumber("Giacenza"), 9);
    // Deleting a shared-base row never deletes its base row, nor asks the base table's rules.
    def->table("Magazzino")->onDeleteRow = [](DataSet& ds) { ds.RejectChange("Parte in uso", 0); };
    def->log.clear();
    needs->SetColValue(QString::fromUtf8("QuantitàNecessaria"), 5);
    ASSERT_TRUE(needs->SaveRow());
    EXPECT_FALSE(def->log.contains("Magazzino.OnUpdateRow"));  // the part was not changed
    ASSERT_TRUE(needs->DeleteRow());
    EXPECT_FALSE(def->log.contains("Magazzino.OnDeleteRow"));
    EXPECT_EQ(raw("SELECT count(*) FROM Magazzino"), 1);
    EXPECT_EQ(raw("SELECT count(*) FROM Necessita"), 1);
    // Without a chosen base row a new one is made.
    ASSERT_TRUE(needs->AddRow({"Codice", "P2", QString::fromUtf8("QuantitàNecessaria"), 1}));
    EXPECT_EQ(raw("SELECT count(*) FROM Magazzino"), 2);
    // The condition of a row by its base row finds the other rows on the same part.
    needs->RowFirst();
    auto same = o.table("Necessita").OpenData(needs->RowCondition(0, Variant::missing(), 0));
    EXPECT_EQ(same->RowCount(), 1);
}

TEST_F(EventsTest, TheNonOwnedCollectionGathersAndReleasesRows) {
    ASSERT_TRUE(steps->AddRow({"Minuti", 10}));
    const Variant step = steps->Bookmark();
    auto groups = o.table("Gruppi").OpenData();
    ASSERT_TRUE(groups->AddRow({"Nome", "G1"}));
    groups->SetReference("Passaggi", step);
    EXPECT_EQ(groups->GetReference("Passaggi")->RowCount(), 1);
    auto related = steps->OpenRelated("Gruppi");
    EXPECT_EQ(related->RowCount(), 1);
    groups->SetReference("Passaggi", step, true);
    EXPECT_TRUE(groups->GetReference("Passaggi")->DataEmpty());
    // Deleting a gathered row never deletes the group.
    groups->SetReference("Passaggi", step);
    ASSERT_TRUE(steps->DeleteRow());
    EXPECT_TRUE(groups->GetReference("Passaggi")->DataEmpty());
    EXPECT_EQ(raw("SELECT count(*) FROM Gruppi"), 1);
}

TEST_F(EventsTest, RelatedRowsAndParents) {
    ASSERT_TRUE(steps->AddRow({"Operaio", "7", "Minuti", 10}));
    EXPECT_EQ(steps->ParentRow()->ColText("NumeroCommessa"), "A0001/001");
    EXPECT_EQ(details->ParentRow()->ColNumber("Progressivo"), 1);
    EXPECT_EQ(header->ParentRow()->NoCurrentRow(), true);
    EXPECT_EQ(steps->OpenRelated("Dettagli")->ColText("NumeroCommessa"), "A0001/001");
    EXPECT_EQ(steps->OpenRelated("Dettagli")->OpenRelatedEx()->GetTable().Name(), "DettagliSpeciali");
    auto worker = o.table("Operai").OpenData("Codice='7'");
    EXPECT_EQ(worker->OpenRelated("Passaggi")->RowCount(), 1);
    EXPECT_EQ(details->GetRelatedData()->GetTable().Name(), "Dettagli");
    EXPECT_EQ(header->FormattedColValue("Progressivo"), "0001");
}

// Order lines and load lines of one part: two shared-base extensions of the same stock row.
class LoadLinesTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        auto order = def->add("RigheOrdine");
        order->base = "Magazzino";
        order->kind = odb::BaseKind::SharedBase;
        order->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs&) {
            Long(f, QString::fromUtf8("QuantitàOrdine"));
            Long(f, QString::fromUtf8("QuantitàCaricata"));
        };
        // The part's stock row keeps what is still to come.
        order->onUpdateField = [](DataSet& ds, const QString& column) {
            if (column.startsWith("Quantit"))
                ds.SetColValue("Giacenza", ds.ColNumber(QString::fromUtf8("QuantitàOrdine")) -
                                               ds.ColNumber(QString::fromUtf8("QuantitàCaricata")));
        };
        auto load = def->add("RigheCarico");
        load->base = "Magazzino";
        load->kind = odb::BaseKind::SharedBase;
        load->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs&) {
            Long(f, QString::fromUtf8("QuantitàCarico"));
        };
        // A load line carries its quantity into the order line of its part, and saves it.
        load->onUpdateRow = [this](DataSet& ds) {
            auto line =
                ds.OpenTable("RigheOrdine", ds.GetTable().BaseLinkField() + "=" + ds.BaseKey().toText());
            if (line->DataEmpty()) return;
            line->AddToCol(QString::fromUtf8("QuantitàCaricata"),
                           ds.ColNumber(QString::fromUtf8("QuantitàCarico")));
            orderSaved.push_back(line->SaveRow());
        };
        o = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
        auto parts = o.table("Magazzino").OpenData();
        ASSERT_TRUE(parts->AddRow({"Codice", "P1", "Descrizione", "Vite"}));
        part = parts->Bookmark();
    }
    int64_t raw(const QString& sql) const { return RawCount(path("ZeltoLavrix.mdb"), sql); }

    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
    Variant part;
    std::vector<bool> orderSaved;
};

TEST_F(LoadLinesTest, ALoadLineSavesTheOrderLineOfItsPartInsideItsOwnSave) {
    auto orders = o.table("RigheOrdine").OpenData();
    ASSERT_TRUE(
        orders->AddRow({o.table("RigheOrdine").BaseLinkField(), part, QString::fromUtf8("QuantitàOrdine"), 10,
                        QString::fromUtf8("QuantitàCaricata"), 0}));
    ASSERT_EQ(raw("SELECT Giacenza FROM Magazzino"), 10);
    auto loads = o.table("RigheCarico").OpenData();
    for (int quantity : {4, 3}) {
        ASSERT_TRUE(loads->AddRow(
            {o.table("RigheCarico").BaseLinkField(), part, QString::fromUtf8("QuantitàCarico"), quantity}));
    }
    EXPECT_EQ(orderSaved, std::vector<bool>({true, true}));
    EXPECT_EQ(raw(QString::fromUtf8("SELECT QuantitàCaricata FROM RigheOrdine")), 7);
    EXPECT_EQ(raw("SELECT Giacenza FROM Magazzino"), 3);
    EXPECT_EQ(raw("SELECT count(*) FROM Magazzino"), 1);
    // An edit of a stored load line carries the same way.
    loads->RowFirst();
    ASSERT_TRUE(loads->SetColValue(QString::fromUtf8("QuantitàCarico"), 1));
    ASSERT_TRUE(loads->SaveRow());
    EXPECT_EQ(raw(QString::fromUtf8("SELECT QuantitàCaricata FROM RigheOrdine")), 8);
    EXPECT_EQ(raw("SELECT Giacenza FROM Magazzino"), 2);
    orders->Requery();
    EXPECT_FALSE(orders->IsChangedRow(0, 0));
    EXPECT_EQ(orders->ColNumber("Giacenza"), 2);
    // A deletion inside the deletion of another line of the part is no deletion of the same row.
    def->table("RigheCarico")->onDeleteRow = [](DataSet& ds) {
        auto others = ds.OpenTable("RigheCarico", "OID<>" + ds.Bookmark().toText());
        if (!others->DataEmpty()) {
            EXPECT_TRUE(others->DeleteRow());
        }
    };
    ASSERT_TRUE(loads->DeleteRow());
    EXPECT_EQ(raw("SELECT count(*) FROM RigheCarico"), 0);
    EXPECT_EQ(raw("SELECT count(*) FROM Magazzino"), 1);
}

}  // namespace
