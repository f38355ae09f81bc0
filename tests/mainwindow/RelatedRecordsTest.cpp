// The related-record menus: their items numbered along the base-table chain with hidden
// relations counted, the captions of containers reached through a base table, the commands
// queued on tmFunc, and the rows each kind opens, on a schema of its own and on the program's.
#include <QAction>
#include <QDir>
#include <QTimer>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include "../odb/OdbTestUtil.h"
#include "MainWindowFixture.h"
#include "mainwindow/MenuArray.h"
#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/RecordWindow.h"
#include "odb/ui/RowChooser.h"

namespace {

using namespace odbtest;

// Persone (a person) with a hidden lookup between two shown ones; Tecnici extends Persone;
// Progetti and Turni point at them; Squadre gathers people.
std::shared_ptr<TestDefinition> relationSchema() {
    auto def = std::make_shared<TestDefinition>();
    def->record = false;
    def->add("Reparti")->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs&) {
        Text(f, "Nome");
    };
    auto persone = def->add("Persone");
    persone->caption = "Persona";
    persone->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs& r) {
        Text(f, "Nome");
        Lookup(r, "Reparto", "Reparti", "Nome", "Nome");
        r.AddReference("Segreto", "Reparti", false, false, "Nome", "Nome", -100, 15, -100, {}, -2, -1, 0);
        Lookup(r, "Capo", "Persone", "Nome", "Nome");
    };
    auto tecnici = def->add("Tecnici");
    tecnici->base = "Persone";
    tecnici->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs& r) {
        Text(f, "Qualifica");
        Lookup(r, "Sede", "Reparti", "Nome", "Nome");
    };
    def->add("Progetti")->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs& r) {
        Text(f, "Titolo");
        Lookup(r, "Responsabile", "Persone", "Nome", "Nome");
    };
    def->add("Turni")->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs& r) {
        Text(f, "Giorno");
        Lookup(r, "Tecnico", "Tecnici", "Nome", "Nome");
    };
    def->add("Squadre")->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs& r) {
        Text(f, "Nome");
        Collection(r, "Membri", "Persone", false);
    };
    return def;
}

// Every cell of a chooser's grid, row by row.
QStringList gridRows(odb::RowChooser& chooser) {
    QStringList rows;
    QAbstractItemModel* m = chooser.grid()->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->index(r, c).data().toString();
        rows << cells.join("|");
    }
    return rows;
}

class RelatedRecordsTest : public MainWindowTest {
  protected:
    QStringList items(MenuArray& a) {
        QStringList out;
        for (int k = 1; k < a.Count(); ++k)
            out << a.Caption(k) + "#" + a.Tag(k) + (a.Item(k)->isEnabled() ? "" : " (disabled)");
        return out;
    }
    // What the next modal window shows: a chooser's rows, or a record window's title.
    void capture(QStringList& shown) {
        expect([&shown](QDialog& d) {
            if (auto* chooser = qobject_cast<odb::RowChooser*>(&d))
                shown << "rows:" + gridRows(*chooser).join("/");
            else
                shown << QString::fromLatin1(d.metaObject()->className()) + ":" + d.windowTitle();
        });
    }
};

TEST_F(RelatedRecordsTest, AgreementOfWithSame) {
    EXPECT_EQ(frmMain::GetWithSameText("Particolari", false), " con stessi ");
    EXPECT_EQ(frmMain::GetWithSameText("Attività", false), " con stessa ");
    EXPECT_EQ(frmMain::GetWithSameText("Commessa", true), " con stessa ");
    EXPECT_EQ(frmMain::GetWithSameText("Macchine", true), " con stesse ");
    EXPECT_EQ(frmMain::GetWithSameText("Macchine", false), " con stesso ");
    EXPECT_EQ(frmMain::GetWithSameText("Ordine", false), " con stesso ");
    EXPECT_EQ(frmMain::GetWithSameText("Così", false), " con stessi ");
}

TEST_F(RelatedRecordsTest, ItemsAreNumberedAlongTheChainAndOpenWhatTheyName) {
    frmMain& w = load();
    TestNotify notify;
    Opened db = OpenDefinition(QDir(workFolder()).filePath("relazioni.odb"), relationSchema(), &notify);
    ASSERT_TRUE(db.table("Reparti").OpenData()->AddRow({"Nome", "Officina"}));
    ASSERT_TRUE(db.table("Persone").OpenData()->AddRow({"Nome", "Bianchi"}));
    auto tecnico = db.table("Tecnici").OpenData();
    ASSERT_TRUE(tecnico->AddRow(
        {"Nome", "Rossi", "Qualifica", "Saldatore", "Capo", "Bianchi", "Reparto", "Officina"}));
    ASSERT_TRUE(db.table("Progetti").OpenData()->AddRow({"Titolo", "Pressa", "Responsabile", "Rossi"}));
    ASSERT_TRUE(db.table("Progetti").OpenData()->AddRow({"Titolo", "Stampo", "Responsabile", "Bianchi"}));
    ASSERT_TRUE(db.table("Turni").OpenData()->AddRow({"Giorno", "Lunedì", "Tecnico", "Rossi"}));
    auto squadra = db.table("Squadre").OpenData();
    ASSERT_TRUE(squadra->AddRow({"Nome", "Manutenzione"}));
    ASSERT_TRUE(squadra->SetReference("Membri", tecnico->BaseKey()));

    w.BuildRelatedRecordMenus(tecnico, false);
    EXPECT_EQ(w.mnuReferencedItem().Caption(0), "< Associati >");
    // The hidden "Segreto" is left out and keeps its number: "Capo" is 4.
    EXPECT_EQ(items(w.mnuReferencedItem()), QStringList({"Sede#1", "Reparto#2", "Capo#4"}));
    EXPECT_EQ(items(w.mnuRefItem()), QStringList({"Turni (Tecnico)#1", "Progetti (Responsabile)#2"}));
    EXPECT_EQ(items(w.mnuContItem()), QStringList({"Squadre con stessa Persona#1"}));
    for (MenuArray* a : {&w.mnuReferencedItem(), &w.mnuRefItem(), &w.mnuContItem()})
        EXPECT_TRUE(a->head()->isVisible());

    // Each kind opens its rows, reached from the base row where the number says so.
    QStringList shown;
    capture(shown);
    w.ShowReferenceRecord(tecnico, 2);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.value(0).contains("Pressa")) << shown.join("/").toStdString();
    EXPECT_FALSE(shown.join("/").contains("Stampo"));
    shown.clear();
    capture(shown);
    w.ShowReferenceRecord(tecnico, 1);
    EXPECT_TRUE(shown.value(0).contains("Lunedì"));
    shown.clear();
    capture(shown);
    w.ShowAssociatedRecords(tecnico, 4);
    EXPECT_TRUE(shown.value(0).startsWith("odb::RecordWindow:")) << shown.join("/").toStdString();
    shown.clear();
    capture(shown);
    w.ShowContainerRecord(tecnico, 1);
    EXPECT_TRUE(shown.value(0).contains("Manutenzione"));

    // A number no relation has: the error is told with the containers' leading text.
    prompt->clear();
    w.ShowContainerRecord(tecnico, 9);
    ASSERT_EQ(prompt->texts().size(), 1);
    EXPECT_TRUE(prompt->texts()[0].startsWith("Si e' verificato un errore:\r\r"));

    // Another table: the previous items go; with none anywhere the three heads stay.
    w.BuildRelatedRecordMenus(db.table("Reparti").OpenData(), false);
    EXPECT_TRUE(items(w.mnuReferencedItem()).isEmpty());
    EXPECT_EQ(items(w.mnuRefItem()), QStringList({"Persona (Reparto)#1", "Tecnici (Sede)#3"}));
    EXPECT_FALSE(w.mnuReferencedItem().head()->isVisible());
    w.BuildRelatedRecordMenus(db.table("Squadre").OpenData(), true);
    EXPECT_EQ(w.mnuReferencedItem().Count() + w.mnuRefItem().Count() + w.mnuContItem().Count(), 3);
    for (MenuArray* a : {&w.mnuReferencedItem(), &w.mnuRefItem(), &w.mnuContItem()})
        EXPECT_TRUE(a->head()->isVisible());
    db.conn->CloseConnection();
}

TEST_F(RelatedRecordsTest, ACommandWaitsForTheTimerAndOpensTheBaseRowsRelation) {
    frmMain& w = start();
    // A machine sale detail: its own relations first, then those of the detail it extends.
    auto order = GetDBTable("CommesseCliente").OpenData("OID=0");
    ASSERT_TRUE(order->AddRow({}));
    ASSERT_TRUE(order->GetReference("Macchine")->AddRow({}));
    for (int i = 1;; ++i) {
        QTreeWidgetItem* node = w.Node(i);
        ASSERT_TRUE(node);
        if (frmMain::NodeKey(node) == "Spedite" || frmMain::NodeText(node).contains("da Spedire")) {
            click(i);
            if (w.CurrentDataSet() && !w.CurrentDataSet()->DataEmpty()) break;
        }
    }
    EXPECT_EQ(items(w.mnuReferencedItem()),
              QStringList({"Macchinario venduto#1", "Tipo#2", "Passaggi di lavorazione#3"}));
    EXPECT_EQ(items(w.mnuContItem()), QStringList({"Commesse Cliente#1"}));

    // The click only queues; the tick runs it.
    QStringList shown;
    capture(shown);
    w.mnuReferencedItem_Click(3);
    EXPECT_EQ(w.tmFuncTag(), "mnuReferencedItem(3)");
    EXPECT_TRUE(w.tmFunc()->isActive());
    EXPECT_TRUE(shown.isEmpty());
    w.tmFunc_Timer();
    EXPECT_EQ(w.tmFuncTag(), "");
    EXPECT_FALSE(w.tmFunc()->isActive());
    ASSERT_EQ(shown, QStringList{"rows:"});
    // Number 2 is past the detail's own single association: the base row's "Tipo", one row.
    capture(shown);
    w.mnuReferencedItem_Click(2);
    w.tmFunc_Timer();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].startsWith("odb::RecordWindow:")) << shown[1].toStdString();
    shown.removeLast();
    capture(shown);
    w.mnuContItem_Click(1);
    w.tmFunc_Timer();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].startsWith("rows:") && shown[1].size() > 5) << shown[1].toStdString();

    // A text of no known form: the Tag is cleared and nothing else happens.
    prompt->clear();
    w.QueueCommand("mnuRefItem12");
    w.tmFunc_Timer();
    EXPECT_EQ(w.tmFuncTag(), "");
    EXPECT_EQ(shown.size(), 2);
    EXPECT_TRUE(prompt->shown().empty());

    // A supplier order has no incoming reference of its own: 1 is its base order's, reached
    // from the base row; a number past the chain is told with an empty leading text.
    auto supplierOrder = GetDBTable("OrdiniFornitore").OpenData("OID=0");
    ASSERT_TRUE(supplierOrder->AddRow({}));
    ASSERT_TRUE(GetDBTable("CarichiCommercialeOrdine")
                    .OpenData("OID=0")
                    ->AddRow({"Ordine", supplierOrder->ColText("Numero")}));
    ASSERT_TRUE(GetDBTable("CarichiCommercialeOrdine").OpenData("OID=0")->AddRow({}));
    for (int i = 1; w.Node(i); ++i)
        if (frmMain::NodeText(w.Node(i)) == "Per Fornitore") click(i);
    ASSERT_EQ(w.CurrentDataSet()->GetTable().Name(), "OrdiniFornitore");
    ASSERT_EQ(w.CurrentDataSet()->GetTable().IncomingCount(), 0);
    ASSERT_EQ(w.mnuRefItem().Count(), 2);
    capture(shown);
    w.mnuRefItem_Click(1);
    EXPECT_EQ(w.tmFuncTag(), "mnuRefItem(1)");
    w.tmFunc_Timer();
    ASSERT_EQ(shown.size(), 3);
    // The one load of this order, which shows the order's date; the other load has none.
    const QStringList cells = shown[2].mid(5).split("|");
    ASSERT_EQ(cells.size(), 3) << shown[2].toStdString();
    EXPECT_FALSE(cells[2].isEmpty()) << shown[2].toStdString();
    prompt->clear();
    w.QueueCommand("mnuRefItem(12)");
    w.tmFunc_Timer();
    EXPECT_EQ(shown.size(), 3);
    ASSERT_EQ(prompt->texts().size(), 1);
    EXPECT_FALSE(prompt->texts()[0].startsWith("Si e'"));
}

}  // namespace
