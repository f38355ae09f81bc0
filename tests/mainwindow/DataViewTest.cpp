// The data view of a section: table, order, where text and title of each section, the order and
// row kept for the same table, the report sections' choosers, the predefined selections, the
// field menus and the command states.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include <functional>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/DateUtil.h"
#include "base/Format.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/ui/ComplexFilterDialog.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/RowChooser.h"
#include "startup/SharedState.h"
#include "startup/frmSearchText.h"

namespace {

using namespace MsgBoxStyle;

class DataViewTest : public MainWindowTest {
  protected:
    std::shared_ptr<odb::DataSet> rows(const QString& table, const QString& where = {}) {
        return GetDBTable(table).OpenData(where);
    }
    void addCustomer(const QString& name) {
        ASSERT_TRUE(rows("Clienti")->AddRow({"Descrizione", name, "Codice", name.left(8)}));
    }
    // Customer job orders 1 to n of `customer`.
    void addOrders(const QString& customer, int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(rows("CommesseCliente")->AddRow({"Cliente", customer.left(8)}));
    }
    // SQL on the file through a connection of its own, as another program would write.
    void otherConnectionSql(const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(g_objConnection->Path().toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_busy_timeout(db, 2000);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
        g_objConnection->Refresh();
    }
    QStringList enabledOf(const std::vector<const char*>& names) {
        QStringList out;
        for (const char* name : names)
            if (action(name)->isEnabled()) out << name;
        return out;
    }
    const std::vector<const char*> dataCommands = {
        "mnuOrder",  "mnuSave",   "mnuFileNew",    "mnuFileProperties", "mnuFileDelete", "mnuViewRefresh",
        "mnuSearch", "mnuFilter", "mnuFieldFuncs", "mnuDataSelection",  "tbNew",         "tbProperties",
        "tbDelete",  "tbRefresh", "tbFind",        "tbFilter"};
};

TEST_F(DataViewTest, ASectionOpensItsTableInItsOrderWithItsMenus) {
    frmMain& w = start();
    addCustomer("Rossi");
    addOrders("Rossi", 3);
    click(2);
    auto ds = w.CurrentDataSet();
    ASSERT_TRUE(ds);
    EXPECT_EQ(ds->GetTable().Name(), "CommesseCliente");
    EXPECT_EQ(ds->SortOrder(), "Progressivo DESC");
    EXPECT_EQ(ds->RowCount(), 3);
    EXPECT_TRUE(w.GridVisible());
    EXPECT_EQ(w.TitleCaption(1), " Dettagli:");
    EXPECT_EQ(enabledOf(dataCommands).size(), dataCommands.size());

    // One search, filter and order entry per column that allows it; totals on currency columns.
    EXPECT_GT(w.mnuSearchItems().Count(), 1);
    EXPECT_EQ(w.mnuFilterItems().Count(), w.mnuSearchItems().Count());
    EXPECT_EQ(w.FindButtonMenus()->actions().size(), w.mnuSearchItems().Count() - 1);
    EXPECT_FALSE(w.mnuTotalItems().Captions().contains("Progressivo"));
    EXPECT_FALSE(w.mnuOrderItems().Captions().contains("Note"));  // a memo is not sortable
    // The search's default column: the first searchable one of 17 to 128 characters.
    bool numeric = false;
    const int findTag = w.FindButtonTag().toInt(&numeric);
    ASSERT_TRUE(numeric);
    const QString defaultField = w.mnuSearchItems().Tag(findTag);
    EXPECT_GE(ds->Field(defaultField)->Size(), 17);
    EXPECT_LE(ds->Field(defaultField)->Size(), 128);
    for (int i = 1; i < findTag; ++i) {
        const int size = ds->Field(w.mnuSearchItems().Tag(i))->Size();
        EXPECT_TRUE(size < 17 || size > 128) << w.mnuSearchItems().Tag(i).toStdString();
    }

    // A double click on the window shows the current row in the record window.
    w.Form_DblClick();
    EXPECT_EQ(dialogsShown.last(), "odb::RecordWindow");

    // A group hides the grid and disables the data commands but keeps the data set.
    click(1);
    EXPECT_FALSE(w.GridVisible());
    EXPECT_EQ(w.CurrentDataSet(), ds);
    EXPECT_TRUE(enabledOf(dataCommands).isEmpty());
    EXPECT_EQ(w.mnuSearchItems().Count(), 1);
}

TEST_F(DataViewTest, CommandsOnTheDataBeepOrKeepSilentWhileAGroupHidesTheGrid) {
    frmMain& w = start();
    ASSERT_TRUE(rows("Operai")->AddRow({"Codice", "0012", "Nominativo", "Rossi Mario"}));
    int workers = 0;
    for (int i = 1; w.Node(i); ++i)
        if (frmMain::NodeKey(w.Node(i)) == "Operai") workers = i;
    ASSERT_GT(workers, 0);
    click(workers);
    auto ds = w.CurrentDataSet();
    ASSERT_TRUE(ds && ds->FindRow("Codice='0012'"));
    w.dgView()->SetBookmark(ds->Bookmark());
    w.dgView()->SetCol(0);
    const QString order = ds->SortOrder();
    click(1);
    ASSERT_FALSE(w.GridVisible());
    ASSERT_EQ(w.CurrentDataSet(), ds);

    const int dialogs = static_cast<int>(dialogsShown.size());
    prompt->clear();
    // Commands that beep without a view.
    const std::vector<std::function<void()>> beeping = {[&] { w.mnuPrintLavrixDetail_Click(); },
                                                        [&] { w.mnuPrintLavrixSchedule_Click(); },
                                                        [&] { w.mnuFilterItems_Click(1); },
                                                        [&] { w.mnuFilterCancel_Click(); },
                                                        [&] { w.mnuFilterComplex_Click(); },
                                                        [&] { w.mnuFilterComplexItems_Click(1); },
                                                        [&] { w.mnuOrderComplex_Click(); },
                                                        [&] { w.mnuFieldFilter_Click(); },
                                                        [&] { w.mnuFieldFilterCancel_Click(); },
                                                        [&] { w.mnuFieldSearchNext_Click(); },
                                                        [&] { w.mnuSearchItems_Click(1); },
                                                        [&] { w.mnuSearchNext_Click(); },
                                                        [&] { w.mnuOrderItems_Click(1); },
                                                        [&] { w.mnuOrderCancel_Click(); },
                                                        [&] { w.mnuDataSelBeforeQuery_Click(); },
                                                        [&] { w.mnuDataSelCancel_Click(); },
                                                        [&] { w.mnuImport_Click(); }};
    for (size_t i = 0; i < beeping.size(); ++i) {
        beeping[i]();
        EXPECT_EQ(prompt->beeps(), static_cast<int>(i + 1)) << "beeping command " << i;
    }
    // Those that do nothing, silently: the labels, the grid field settings, the related records, the
    // row window of a double click on the window.
    const std::vector<std::function<void()>> silent = {
        [&] { w.mnuPrintLabel_Click(); },      [&] { w.mnuGridFldAll_Click(); },
        [&] { w.mnuGridFldSequence_Click(); }, [&] { w.mnuGridCancel_Click(); },
        [&] { w.mnuRefItem_Click(1); },        [&] { w.mnuContItem_Click(1); },
        [&] { w.mnuReferencedItem_Click(1); }, [&] { w.Form_DblClick(); }};
    for (size_t i = 0; i < silent.size(); ++i) {
        const int beeps = prompt->beeps();
        silent[i]();
        EXPECT_EQ(prompt->beeps(), beeps) << "silent command " << i;
    }
    EXPECT_EQ(prompt->shown().size(), beeping.size());  // beeps alone
    EXPECT_EQ(dialogsShown.size(), dialogs);
    EXPECT_EQ(w.tmFuncTag(), "");
    EXPECT_EQ(ds->SortOrder(), order);
    EXPECT_EQ(ds->Filter(), "");
    // The card of the worker no longer on view is not written.
    w.mnuToolsCardWrite_Click();
    EXPECT_EQ(prompt->last().text.toStdString(), "Devi selezionare l'Operaio");
    EXPECT_EQ(dialogsShown.size(), dialogs);
}

TEST_F(DataViewTest, TheSortAndTheRowStayForTheSameTableOnly) {
    frmMain& w = start();
    addCustomer("Rossi");
    addOrders("Rossi", 5);
    click(2);
    auto ds = w.CurrentDataSet();
    ds->SetSortOrder("Progressivo");
    ASSERT_TRUE(ds->FindRow("Progressivo=4"));
    frmSearchText::LastSearchText = "Ross";
    action("mnuViewRefresh")->trigger();
    EXPECT_NE(w.CurrentDataSet(), ds);
    EXPECT_EQ(w.CurrentDataSet()->SortOrder(), "Progressivo");
    EXPECT_EQ(w.CurrentDataSet()->ColNumber("Progressivo"), 4);
    EXPECT_EQ(w.dgView()->Bookmark().toLong(), w.CurrentDataSet()->Bookmark(0).toLong());
    EXPECT_EQ(frmSearchText::LastSearchText, "Ross");

    // Another table, then back: the section's own order, the first row, no search text.
    click(4);
    EXPECT_EQ(frmSearchText::LastSearchText, "");
    click(2);
    EXPECT_EQ(w.CurrentDataSet()->SortOrder(), "Progressivo DESC");
    EXPECT_EQ(w.CurrentDataSet()->ColNumber("Progressivo"), 5);
}

TEST_F(DataViewTest, TotalsOfTheCurrencyColumns) {
    frmMain& w = start();
    ASSERT_TRUE(rows("CommesseAssistenza")->AddRow({}));
    click(5);
    ASSERT_EQ(w.mnuTotalItems().Captions(), QStringList({"CostoTotale"}));
    w.mnuTotalItems_Click(1);
    const QString caption = w.CurrentDataSet()->Field("CostoTotale")->GetTexts(0).value(2);
    EXPECT_EQ(prompt->last().text,
              "Totale < " + caption + " >\r\r" + VbFormat(w.CurrentDataSet()->Aggregate("CostoTotale"), ""));
    EXPECT_EQ(prompt->last().style, vbOKOnly);
}

TEST_F(DataViewTest, ReportSectionsWithTheirChooserCancelled) {
    frmMain& w = start();
    struct Case {
        int node;
        QString table;
        QString title;
    };
    const Case cases[] = {
        {27, "PassaggiDettaglioCommesse", " Dettagli:"},
        {28, "Ingressi", " Dettagli:"},
        {22, "DettagliCommesse", "Stampa costo dettaglio con passaggi"},
        {21, "DettagliCommesse", "Stampa dei costi per i dettagli delle commesse"},
        {24, "DettagliVenditaMacchinari", "MACCHINARI VENDUTI (SPEDITI) "},
        {25, "DettagliVenditaMacchinari", "MACCHINARI IN LAVORAZIONE (NON SPEDITI) "},
    };
    for (const Case& c : cases) {
        prompt->clear();
        click(c.node);
        ASSERT_TRUE(w.CurrentDataSet()) << c.node;
        EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), c.table) << c.node;
        EXPECT_EQ(w.TitleCaption(1), c.title) << c.node;
        EXPECT_TRUE(w.GridVisible()) << c.node;
        EXPECT_EQ(w.CurrentDataSet()->RowCount(), 0) << c.node;
        EXPECT_TRUE(prompt->shown().empty()) << c.node << " " << prompt->texts().join("|").toStdString();
    }
}

TEST_F(DataViewTest, ReportSectionsOnTheChosenRecord) {
    frmMain& w = start();
    auto pick = [](const QString& text) -> Step {
        return [text](QDialog& d) {
            auto* chooser = qobject_cast<odb::RowChooser*>(&d);
            ASSERT_TRUE(chooser) << "expected the row chooser";
            ASSERT_TRUE(chooser->typeAhead(text));
            chooser->cmdOK()->click();
        };
    };
    // Two customers; Rossi has a shipped order and one still open, each with two details.
    addCustomer("Rossi");
    addCustomer("Bianchi");
    addOrders("Rossi", 2);
    addOrders("Bianchi", 1);
    auto orders = rows("CommesseCliente");
    for (bool more = orders->RowFirst(); more; more = orders->RowNext())
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(orders->GetReference("Attrezzature")->AddRow({"Quantità", 1}));
    otherConnectionSql("UPDATE CommesseCliente SET Spedito = 1, CommessaChiusa = 1 WHERE Progressivo = 1");
    // A production detail is no customer job order's.
    ASSERT_TRUE(rows("CommesseProduzione")->AddRow({}));
    auto production = rows("CommesseProduzione");
    ASSERT_TRUE(production->RowFirst());
    ASSERT_TRUE(production->GetReference("Dettagli")->AddRow({"Quantità", 1}));
    // No customer chosen: every customer job order's detail, shipped or not, under the plain title.
    click(20);
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "DettagliCommesse");
    EXPECT_EQ(w.CurrentDataSet()->RowCount(), 6);
    EXPECT_EQ(w.TitleCaption(1), " Dettagli:");
    EXPECT_TRUE(w.CurrentDataSet()->ColExists("Dettaglio"));
    expect(pick("Rossi"));
    w.tvTreeView_DblClick();
    EXPECT_EQ(w.TitleCaption(1), " Cliente: Rossi - Tutti i dettagli delle comm. non spedite.");
    ASSERT_EQ(w.CurrentDataSet()->RowCount(), 2);
    for (bool more = w.CurrentDataSet()->RowFirst(); more; more = w.CurrentDataSet()->RowNext())
        EXPECT_TRUE(w.CurrentDataSet()->ColText("NumeroCommessa").contains("0002/"))
            << w.CurrentDataSet()->ColText("NumeroCommessa").toStdString();

    // A worker's attendance.
    for (const char* name : {"Verdi", "Neri"})
        ASSERT_TRUE(rows("Operai")->AddRow({"Codice", QString(name).left(4), "Nominativo", name}));
    ASSERT_TRUE(
        rows("Ingressi")->AddRow({"Operaio", "Verd", "Data", Variant::fromDate(MakeOleDate(2024, 3, 1))}));
    ASSERT_TRUE(
        rows("Ingressi")->AddRow({"Operaio", "Verd", "Data", Variant::fromDate(MakeOleDate(2024, 3, 4))}));
    ASSERT_TRUE(
        rows("Ingressi")->AddRow({"Operaio", "Neri", "Data", Variant::fromDate(MakeOleDate(2024, 3, 1))}));
    expect(pick("Verdi"));
    click(28);
    EXPECT_EQ(w.TitleCaption(1), "ACCESSI PER L' OPERAIO: Verdi");
    EXPECT_EQ(w.CurrentDataSet()->RowCount(), 2);

    // One job-order detail with its steps.
    const QString number = rows("DettagliCommesse")->ColText("NumeroCommessa");
    expect(pick(number));
    click(22);
    EXPECT_EQ(w.TitleCaption(1), "Stampa costo dettaglio " + number + " con passaggi");
    EXPECT_EQ(w.CurrentDataSet()->RowCount(), 1);
    EXPECT_TRUE(prompt->shown().empty()) << prompt->texts().join("|").toStdString();
}

TEST_F(DataViewTest, PredefinedSelectionsRefusedShowNothingOrEverything) {
    frmMain& w = start();
    addCustomer("Rossi");
    addOrders("Rossi", 2);
    auto selection = GetDBTable("CommesseCliente").NewSelectionSet();
    selection->AddCondition("Progressivo", 1);
    selection->Save("Cliente");

    prompt->answer(MsgResult::No);
    click(2);
    EXPECT_TRUE(action("mnuDataSelBeforeQuery")->isChecked());
    EXPECT_EQ(prompt->last().text, "Selezioni predefinite annullate...\r\rVuoi visualizzare tutti i dati?");
    EXPECT_EQ(prompt->last().style, vbYesNo | vbQuestion | vbDefaultButton2);
    EXPECT_EQ(w.TitleCaption(1), " Dettagli:  [nessun dato richiesto]");
    EXPECT_EQ(w.CurrentDataSet()->RowCount(), 0);

    prompt->answer(MsgResult::Yes);
    w.tvTreeView_DblClick();
    EXPECT_EQ(w.TitleCaption(1), " Dettagli:");
    EXPECT_EQ(w.CurrentDataSet()->RowCount(), 2);

    // Confirmed: the selection is the where text; one on the date field leaves the month out.
    g_blnSelMonth = true;
    g_vntSelDate = Variant::fromDate(MakeOleDate(2001, 1, 1));
    auto dated = GetDBTable("CommesseCliente").NewSelectionSet();
    dated->AddCondition("DataInserimento", Variant::fromDate(MakeOleDate(2000, 1, 1)),
                        odb::SelectionSet::opGreater);
    dated->Save("Cliente");
    expect([](QDialog& d) {
        auto* dialog = qobject_cast<odb::ComplexFilterDialog*>(&d);
        ASSERT_TRUE(dialog) << "expected the conditions dialog";
        EXPECT_EQ(dialog->windowTitle(), "Selezioni predefinite");
        dialog->cmdOK()->click();
    });
    w.tvTreeView_DblClick();
    EXPECT_EQ(w.TitleCaption(1), " Dettagli:  [selezioni impostate]");
    EXPECT_EQ(w.CurrentDataSet()->RowCount(), 2);
    EXPECT_FALSE(w.CurrentDataSet()->SelWhere().contains("Month("));

    // Another section has none: nothing is asked there.
    prompt->clear();
    click(4);
    EXPECT_FALSE(action("mnuDataSelBeforeQuery")->isChecked());
    EXPECT_TRUE(prompt->shown().empty());
}

TEST_F(DataViewTest, AFailedReadingIsReportedAndTheWindowGoesOn) {
    frmMain& w = start();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(g_objConnection->Path().toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 2000);
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE Clienti RENAME TO ClientiVecchi", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    g_objConnection->Refresh();
    click(35);
    ASSERT_FALSE(prompt->shown().empty());
    EXPECT_TRUE(prompt->last().text.startsWith("Visualizzazione dati fallita: \r\r"))
        << prompt->last().text.toStdString();
    EXPECT_EQ(prompt->last().icon(), vbCritical);
    // The next section opens as usual.
    click(4);
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "CommesseProduzione");
}

}  // namespace
