// Filters, searches, orders, predefined selections and the deferred commands of the main window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItem>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/ui/ComplexFilterDialog.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/FieldChooser.h"
#include "startup/SharedState.h"
#include "startup/frmSearchText.h"

namespace {

using namespace MsgBoxStyle;

constexpr int kCustomerOrdersNode = 2;
constexpr int kOrdersAllNode = 9;
constexpr int kLoadsAllNode = 13;
constexpr int kCustomersNode = 35;

class FilterSearchTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        frmSearchText::LastFieldName.clear();
        frmSearchText::LastSearchText.clear();
        frmSearchText::SearchText.clear();
    }
    frmMain& customers(const QStringList& names) {
        frmMain& w = start();
        auto ds = GetDBTable("Clienti").OpenData();
        for (const QString& n : names)
            EXPECT_TRUE(ds->AddRow({"Descrizione", n, "Codice", QString(n).remove(' ').left(8)}));
        click(kCustomersNode);
        return w;
    }
    static Step typeSearch(const QString& text, bool inside = false, bool next = false) {
        return [=](QDialog& d) {
            auto* s = qobject_cast<frmSearchText*>(&d);
            ASSERT_TRUE(s) << "expected the search dialog";
            s->txtSearch()->setText(text);
            s->chkInternal()->setChecked(inside);
            next ? s->cmdNext_Click() : s->cmdOK_Click();
        };
    }
    QStringList descriptions(frmMain& w) {
        QStringList out;
        auto ds = w.CurrentDataSet();
        for (bool ok = ds->RowFirst(); ok; ok = ds->RowNext())
            out << ds->ColText("Descrizione");
        return out;
    }
    int member(MenuArray& array, const QString& field) {
        for (int i = 1; i < array.Count(); ++i)
            if (array.Tag(i) == field) return i;
        ADD_FAILURE() << "no member " << field.toStdString();
        return 0;
    }
    bool filterPressed(frmMain& w) { return w.ToolbarButton("Filter")->isChecked(); }
    // The code of a customer for job orders, added on first use.
    static QString customerCode() {
        auto ds = GetDBTable("Clienti").OpenData("Codice='ROSSI'");
        if (ds->DataEmpty()) {
            EXPECT_TRUE(ds->AddRow({"Descrizione", "Rossi", "Codice", "ROSSI"}));
        }
        return QStringLiteral("ROSSI");
    }
};

TEST_F(FilterSearchTest, TheSimpleFilterKeepsItsConditionInTheMemberCaption) {
    frmMain& w = customers({"l'asse di Rossi", "L'ASSE", "Bianchi", "a = b srl", "a b", "10% sconto",
                            "100 pezzi", "Marco l'asse"});
    MenuArray& items = w.mnuFilterItems();
    const int descr = member(items, "Descrizione");
    QStringList dialogTitles;
    expect([&](QDialog& d) {
        dialogTitles << d.windowTitle();
        typeSearch("l'asse")(d);
    });
    w.mnuFilterItems_Click(descr);
    EXPECT_EQ(dialogTitles, QStringList{"Filtra"});
    EXPECT_EQ(items.Caption(descr), "Descrizione = 'l''asse*'");
    EXPECT_TRUE(items.Item(descr)->isChecked());
    EXPECT_EQ(w.statusText(), "Attivato filtro (Descrizione = 'l''asse*')");
    EXPECT_EQ(w.CurrentDataSet()->Filter(), "Descrizione Like 'l''asse*'");
    EXPECT_TRUE(filterPressed(w));
    EXPECT_EQ(descriptions(w), (QStringList{"l'asse di Rossi", "L'ASSE"}));

    // A cancelled dialog (it opens empty) leaves the filter as it was.
    expect(cancel());
    w.mnuFilterItems_Click(descr);
    EXPECT_EQ(items.Caption(descr), "Descrizione = 'l''asse*'");
    EXPECT_TRUE(items.Item(descr)->isChecked());
    EXPECT_EQ(w.CurrentDataSet()->Filter(), "Descrizione Like 'l''asse*'");
    EXPECT_EQ(w.statusText(), "Attivato filtro (Descrizione = 'l''asse*')");
    EXPECT_EQ(descriptions(w), (QStringList{"l'asse di Rossi", "L'ASSE"}));
    EXPECT_TRUE(filterPressed(w));

    action("mnuFilterCancel")->trigger();
    EXPECT_EQ(w.statusText(), "Nessun filtro");
    EXPECT_FALSE(filterPressed(w));
    EXPECT_EQ(items.Caption(descr), "Descrizione");
    EXPECT_FALSE(items.Item(descr)->isChecked());
    EXPECT_EQ(w.CurrentDataSet()->Filter(), "");

    // What the user types is a text: its " = " and "%" stay themselves; inside, with the leading "*".
    expect(typeSearch("a = b"));
    w.mnuFilterItems_Click(descr);
    EXPECT_EQ(descriptions(w), QStringList{"a = b srl"});
    EXPECT_EQ(w.statusText(), "Attivato filtro (Descrizione = 'a = b*')");
    expect(typeSearch("10%"));
    w.mnuFilterItems_Click(descr);
    EXPECT_EQ(descriptions(w), QStringList{"10% sconto"});
    expect(typeSearch("l'asse", true));
    w.mnuFilterItems_Click(descr);
    EXPECT_EQ(items.Caption(descr), "Descrizione = '*l''asse*'");
    EXPECT_EQ(descriptions(w).size(), 3);

    // Confirming an empty text clears the column's filter.
    expect(typeSearch(""));
    w.mnuFilterItems_Click(descr);
    EXPECT_EQ(items.Caption(descr), "Descrizione");
    EXPECT_EQ(w.statusText(), "Nessun filtro");
    EXPECT_EQ(descriptions(w).size(), 9);  // the default customer too
}

TEST_F(FilterSearchTest, TwoSimpleFiltersAreJoinedInMemberOrderAndClearedOneByOne) {
    frmMain& w = customers({"Rossi", "Rossini", "Verdi"});
    auto ds = GetDBTable("Clienti").OpenData("Descrizione='Rossi'");
    ASSERT_TRUE(ds->SetColValue("Citta", "Milano") && ds->SaveRow());
    ds = GetDBTable("Clienti").OpenData("Descrizione='Rossini'");
    ASSERT_TRUE(ds->SetColValue("Citta", "Roma") && ds->SaveRow());
    action("mnuViewRefresh")->trigger();
    MenuArray& items = w.mnuFilterItems();
    const int descr = member(items, "Descrizione");
    const int city = member(items, "Citta");
    ASSERT_LT(descr, city);
    expect(typeSearch("Mil", true));
    w.mnuFilterItems_Click(city);
    expect(typeSearch("Ross"));
    w.mnuFilterItems_Click(descr);
    EXPECT_EQ(w.statusText(), "Attivato filtro (Descrizione = 'Ross*' AND Citta = '*Mil*')");
    EXPECT_EQ(w.CurrentDataSet()->Filter(), "Descrizione Like 'Ross*' AND Citta Like '*Mil*'");
    EXPECT_EQ(descriptions(w), QStringList{"Rossi"});

    // The right-click filter on the city column opens the dialog on the cell's text.
    w.dgView()->SetCol(w.dgView()->gridModel()->columns().indexOf("Citta"));
    QString shown = "?";
    expect([&](QDialog& d) {
        shown = qobject_cast<frmSearchText*>(&d)->txtSearch()->text();
        d.reject();
    });
    w.mnuFieldFilter_Click();
    EXPECT_EQ(shown, "Milano");
    EXPECT_EQ(items.Caption(city), "Citta = '*Mil*'");

    // The right-click cancel on the city column: the dialog opens empty, its OK clears that one.
    expect([&](QDialog& d) {
        shown = qobject_cast<frmSearchText*>(&d)->txtSearch()->text();
        qobject_cast<frmSearchText*>(&d)->cmdOK_Click();
    });
    w.mnuFieldFilterCancel_Click();
    EXPECT_EQ(shown, "");
    EXPECT_EQ(items.Caption(city), "Citta");
    EXPECT_EQ(items.Caption(descr), "Descrizione = 'Ross*'");
    EXPECT_EQ(descriptions(w), (QStringList{"Rossi", "Rossini"}));
    EXPECT_TRUE(filterPressed(w));
}

TEST_F(FilterSearchTest, AComplexFilterOnAViewWithoutWhereBecomesItsWhereText) {
    frmMain& w = customers({"Rossi", "Verdi"});
    auto ds = w.CurrentDataSet();
    ASSERT_TRUE(ds->SelWhere().isEmpty());
    int rebinds = 0;
    QObject::connect(&ds->EventSource(), &odb::EventSource::OnRefreshRecordset, [&] { ++rebinds; });

    expect([](QDialog& d) {
        auto* f = qobject_cast<odb::ComplexFilterDialog*>(&d);
        ASSERT_TRUE(f);
        EXPECT_EQ(d.windowTitle(), "FILTRO COMPLESSO");
        f->choose("Descrizione", odb::SelectionSet::opStartsWith);
        f->txtValue()->setEditText("Ros");
        f->cmdOK()->click();
    });
    action("mnuFilterComplex")->trigger();
    EXPECT_EQ(w.tmFuncTag(), "mnuFilterComplex");
    EXPECT_TRUE(w.tmFunc()->isActive());
    EXPECT_EQ(w.tmFunc()->interval(), 1);
    EXPECT_EQ(stepsLeft(), 1);  // nothing opens inside the click
    w.tmFunc_Timer();
    EXPECT_FALSE(w.tmFunc()->isActive());
    EXPECT_EQ(w.tmFuncTag(), "");
    EXPECT_FALSE(ds->SelWhere().isEmpty());
    EXPECT_EQ(ds->Filter(), "");
    EXPECT_EQ(ds->GetOption("UseSelWhereForFilter"), "Yes");
    EXPECT_EQ(rebinds, 1);  // one re-read
    EXPECT_EQ(descriptions(w), QStringList{"Rossi"});
    EXPECT_EQ(w.statusText(), "Attivato filtro (" + w.FilterSet()->FilterText(0, -1) + ")");
    EXPECT_TRUE(action("mnuFilterComplex")->isChecked());
    EXPECT_EQ(action("mnuFilterShort")->text(), "Filtra colonna");
    EXPECT_FALSE(action("mnuFilterShort")->isEnabled());
    EXPECT_TRUE(filterPressed(w));

    // The right-click filter adds to it while it is active.
    ASSERT_EQ(action("mnuFieldFilter")->text(), "&Filtra colonna con stesso valore...");
    w.dgView()->SetCol(w.dgView()->gridModel()->columns().indexOf("Codice"));
    w.mnuFieldFilter_Click();
    EXPECT_TRUE(w.FilterSet()->UsesField("Codice"));
    EXPECT_TRUE(w.FilterSet()->UsesField("Descrizione"));
    EXPECT_EQ(descriptions(w), QStringList{"Rossi"});

    ASSERT_EQ(action("mnuFilterCancel")->text(), "&Annulla filtro");
    action("mnuFilterCancel")->trigger();
    EXPECT_EQ(ds->SelWhere(), "");
    EXPECT_EQ(ds->GetOption("UseSelWhereForFilter"), "");
    EXPECT_EQ(w.statusText(), "Nessun filtro");
    EXPECT_FALSE(action("mnuFilterComplex")->isChecked());
    EXPECT_TRUE(action("mnuFilterShort")->isEnabled());
    EXPECT_FALSE(filterPressed(w));
    EXPECT_FALSE(w.FilterSet());
    EXPECT_EQ(descriptions(w).size(), 3);
}

TEST_F(FilterSearchTest, CancelledDialogsLeaveTheCheckMarksAsTheyWere) {
    frmMain& w = customers({"Rossi", "Verdi"});
    QAction* complex = action("mnuFilterComplex");
    // A cancelled complex filter leaves no mark, and the right-click filter stays the simple one.
    expect(cancel());
    complex->trigger();
    w.tmFunc_Timer();
    EXPECT_EQ(dialogsShown.last().toStdString(), "odb::ComplexFilterDialog");
    EXPECT_FALSE(complex->isChecked());
    w.dgView()->SetCol(w.dgView()->gridModel()->columns().indexOf("Descrizione"));
    expect(typeSearch("Ver"));
    w.mnuFieldFilter_Click();
    EXPECT_EQ(dialogsShown.last().toStdString(), "frmSearchText");
    EXPECT_EQ(w.CurrentDataSet()->Filter().toStdString(), "Descrizione Like 'Ver*'");
    EXPECT_TRUE(action("mnuFilterShort")->isEnabled());

    // The field sequence and the predefined selections, cancelled, keep no mark either.
    for (const char* name : {"mnuGridFldSequence", "mnuDataSelBeforeQuery"}) {
        const int shown = static_cast<int>(dialogsShown.size());
        expect(cancel());
        action(name)->trigger();
        EXPECT_EQ(dialogsShown.size(), shown + 1) << name;
        EXPECT_FALSE(action(name)->isChecked()) << name;
    }
}

TEST_F(FilterSearchTest, ACancelledDialogKeepsTheMarkOfTheActiveComplexFilter) {
    frmMain& w = customers({"Rossi", "Verdi"});
    QAction* complex = action("mnuFilterComplex");
    expect([](QDialog& d) {
        auto* f = qobject_cast<odb::ComplexFilterDialog*>(&d);
        ASSERT_TRUE(f);
        f->choose("Descrizione", odb::SelectionSet::opStartsWith);
        f->txtValue()->setEditText("Ros");
        f->cmdOK()->click();
    });
    complex->trigger();
    w.tmFunc_Timer();
    ASSERT_TRUE(complex->isChecked());
    expect(cancel());
    complex->trigger();
    w.tmFunc_Timer();
    EXPECT_EQ(stepsLeft(), 0);
    EXPECT_TRUE(complex->isChecked());
    EXPECT_FALSE(action("mnuFilterShort")->isEnabled());
    EXPECT_EQ(descriptions(w), QStringList{"Rossi"});
    // The right-click filter goes on adding to the complex filter.
    w.dgView()->SetCol(w.dgView()->gridModel()->columns().indexOf("Codice"));
    w.mnuFieldFilter_Click();
    EXPECT_TRUE(w.FilterSet()->UsesField("Codice"));
    EXPECT_EQ(stepsLeft(), 0);
}

TEST_F(FilterSearchTest, ASavedFilterIsListedChosenAgainAndMissedWhenDeletedElsewhere) {
    frmMain& w = start();
    auto orders = GetDBTable("CommesseCliente").OpenData();
    ASSERT_TRUE(orders->AddRow({"Cliente", customerCode(), "CommessaChiusa", true}));
    ASSERT_TRUE(orders->AddRow({"Cliente", customerCode()}));
    click(kCustomerOrdersNode);
    auto ds = w.CurrentDataSet();
    ASSERT_EQ(ds->RowCount(), 2);
    expect([](QDialog& d) {
        auto* f = qobject_cast<odb::ComplexFilterDialog*>(&d);
        ASSERT_TRUE(f);
        f->choose("CommessaChiusa", odb::SelectionSet::opEqual);
        f->txtValue()->setEditText("No");
        ASSERT_TRUE(f->addCondition());
        f->cboName()->setCurrentText("Aperte");
        f->saveNamed();
        f->cmdOK()->click();
    });
    w.mnuFilterComplex_Click();
    w.tmFunc_Timer();
    EXPECT_EQ(ds->RowCount(), 1);
    EXPECT_EQ(w.mnuFilterComplexItems().Captions(), QStringList{"Aperte"});
    action("mnuFilterCancel")->trigger();
    EXPECT_EQ(ds->RowCount(), 2);

    // Chosen again: the dialog opens on the named filter.
    QString conditionsShown;
    expect([&](QDialog& d) {
        auto* f = qobject_cast<odb::ComplexFilterDialog*>(&d);
        ASSERT_TRUE(f);
        conditionsShown = QString::number(f->conditions().size());
        f->cmdOK()->click();
    });
    w.mnuFilterComplexItems_Click(1);
    EXPECT_EQ(w.tmFuncTag(), "mnuFilterComplex");
    w.tmFunc_Timer();
    EXPECT_EQ(conditionsShown, "1");
    EXPECT_EQ(ds->RowCount(), 1);

    // Deleted by another computer meanwhile, through a connection of its own.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(g_objConnection->Path().toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 2000);
    EXPECT_EQ(sqlite3_exec(db, "DELETE FROM _odbSelections WHERE Name='Aperte'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(sqlite3_changes(db), 1);
    sqlite3_close(db);
    g_objConnection->Refresh();
    prompt->clear();
    w.mnuFilterComplexItems_Click(1);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Un filtro con questo nome non è presente!");
    EXPECT_EQ(prompt->last().icon(), 0);
    EXPECT_EQ(w.tmFuncTag(), "");
}

TEST_F(FilterSearchTest, TheDeferredTimerRunsOneCommandAtATime) {
    frmMain& w = customers({"Rossi"});
    auto ds = w.CurrentDataSet();
    // While the combined order's chooser is up, a tick with a new command queued returns at once
    // and leaves the timer on; the new command runs after.
    int ticksInside = 0;
    expect([&](QDialog& d) {
        auto* chooser = qobject_cast<odb::FieldChooser*>(&d);
        ASSERT_TRUE(chooser);
        EXPECT_EQ(d.windowTitle(), "Ordinamento Complesso");
        w.mnuOrderComplex_Click();
        w.tmFunc_Timer();
        ++ticksInside;
        EXPECT_TRUE(w.tmFunc()->isActive());
        EXPECT_EQ(w.tmFuncTag(), "mnuOrderComplex");
        chooser->lstChosen()->clear();
        chooser->lstAvailable()->setCurrentRow(0);
        chooser->AddSelected();
        chooser->lstChosen()->setCurrentRow(0);
        chooser->ToggleDirection();
        chooser->cmdOK()->click();
    });
    w.mnuOrderComplex_Click();
    w.tmFunc_Timer();
    EXPECT_EQ(ticksInside, 1);
    EXPECT_TRUE(ds->SortOrder().endsWith(" DESC")) << ds->SortOrder().toStdString();
    EXPECT_EQ(stepsLeft(), 0);
    // The queued one runs now: its chooser (no step left) is cancelled and the order stays.
    const QString order = ds->SortOrder();
    w.tmFunc_Timer();
    EXPECT_EQ(dialogsShown.count("odb::FieldChooser"), 2);
    EXPECT_EQ(ds->SortOrder(), order);

    // A text of no known form clears the Tag and does nothing.
    w.QueueCommand("mnuSomething(3)");
    w.tmFunc_Timer();
    EXPECT_EQ(w.tmFuncTag(), "");
    EXPECT_FALSE(w.tmFunc()->isActive());
    EXPECT_EQ(dialogsShown.size(), 4);  // the picker, the password, two choosers
}

TEST_F(FilterSearchTest, SearchesFindTheOnlySelectedRowOrSayNotFound) {
    frmMain& w = customers({"Alfa", "Beta", "Gamma", "Alfabeto"});
    const int descr = member(w.mnuSearchItems(), "Descrizione");
    const QString caption = w.mnuSearchItems().Caption(descr);
    w.dgView()->selectAll();
    expect(typeSearch("alf"));
    w.mnuSearchItems_Click(descr);
    EXPECT_EQ(w.CurrentDataSet()->ColText("Descrizione"), "Alfa");
    ASSERT_EQ(w.dgView()->SelBookmarks().size(), 1u);
    EXPECT_EQ(w.dgView()->SelBookmarks().front().toLong(), w.CurrentDataSet()->Bookmark().toLong());
    EXPECT_EQ(w.dgView()->Bookmark().toLong(), w.CurrentDataSet()->Bookmark().toLong());
    EXPECT_EQ(w.FindButtonTag(), QString::number(descr));
    // The re-read of the window's activation after the dialog keeps it so.
    w.CurrentDataSet()->Requery();
    EXPECT_EQ(w.dgView()->SelBookmarks().size(), 1u);

    // "Cerca successivo" goes on from the row found.
    w.mnuSearchNext_Click();
    EXPECT_EQ(w.CurrentDataSet()->ColText("Descrizione"), "Alfabeto");
    EXPECT_EQ(dialogsShown.count("frmSearchText"), 1);

    prompt->clear();
    const Variant before = w.dgView()->Bookmark();
    expect(typeSearch("zzz"));
    w.mnuSearchItems_Click(descr);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().title, "Ricerca in " + caption);
    EXPECT_EQ(caption, "Descrizione");
    EXPECT_EQ(prompt->last().text, " 'zzz' non trovato");
    EXPECT_EQ(prompt->last().icon(), vbInformation);
    // The grid and the data set still stand on the same row.
    EXPECT_EQ(w.dgView()->Bookmark().toLong(), before.toLong());
    EXPECT_EQ(w.CurrentDataSet()->Bookmark().toLong(), before.toLong());

    // With an empty text, "Cerca successivo" opens the dialog.
    frmSearchText::SearchText.clear();
    expect(cancel());
    w.mnuSearchNext_Click();
    EXPECT_EQ(dialogsShown.count("frmSearchText"), 3);
}

TEST_F(FilterSearchTest, RightClickSearchNextOnAColumnWithoutSearchMember) {
    frmMain& w = start();
    auto orders = GetDBTable("CommesseCliente").OpenData();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(orders->AddRow({"Cliente", customerCode(), "Urgente", i != 1}));
    click(kCustomerOrdersNode);
    auto ds = w.CurrentDataSet();
    const int column = w.dgView()->gridModel()->columns().indexOf("Urgente");
    ASSERT_GE(column, 0);
    ASSERT_TRUE(ds->RowFirst());  // Progressivo 3, urgent
    w.dgView()->SetCol(column);
    w.mnuFieldSearchNext_Click();
    EXPECT_EQ(ds->ColValue("Progressivo").toLong(), 1);
    prompt->clear();
    w.mnuFieldSearchNext_Click();
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, " '" + w.dgView()->Text() + "' non trovato");
    EXPECT_TRUE(prompt->last().title.startsWith("Ricerca in "));
    EXPECT_EQ(ds->ColValue("Progressivo").toLong(), 1);
}

TEST_F(FilterSearchTest, OrdersByHeaderAndMenu) {
    frmMain& w = start();
    auto orders = GetDBTable("CommesseCliente").OpenData();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(orders->AddRow({"Cliente", customerCode()}));
    click(kCustomerOrdersNode);
    auto ds = w.CurrentDataSet();
    ASSERT_EQ(ds->SortOrder(), "Progressivo DESC");
    const QStringList columns = w.dgView()->gridModel()->columns();
    w.dgView_HeadClick(columns.indexOf("Progressivo"));
    EXPECT_EQ(ds->SortOrder(), "Progressivo ASC");
    w.dgView_HeadClick(columns.indexOf("Progressivo"));
    EXPECT_EQ(ds->SortOrder(), "Progressivo DESC");
    w.dgView_HeadClick(columns.indexOf("DataInserimento"));
    EXPECT_EQ(ds->SortOrder(), "DataInserimento");
    w.mnuOrderItems_Click(member(w.mnuOrderItems(), "Progressivo"));
    EXPECT_EQ(ds->SortOrder(), "Progressivo");
    w.mnuOrderCancel_Click();
    EXPECT_EQ(ds->SortOrder(), "");
}

TEST_F(FilterSearchTest, PredefinedSelectionsBelongToTheSectionOfTheirTable) {
    frmMain& w = start();
    // Two sections of the same name, under two headings.
    for (const int node : {kOrdersAllNode, kLoadsAllNode})
        ASSERT_EQ(frmMain::NodeText(w.Node(node)), "Tutti");
    ASSERT_EQ(w.Node(kOrdersAllNode)->parent()->text(0), "Ordini Commerciale");
    ASSERT_EQ(w.Node(kLoadsAllNode)->parent()->text(0), "Carichi Commerciale");
    click(kOrdersAllNode);
    ASSERT_EQ(w.CurrentDataSet()->GetTable().Name(), "OrdiniCommerciale");
    expect([](QDialog& d) {
        auto* f = qobject_cast<odb::ComplexFilterDialog*>(&d);
        ASSERT_TRUE(f);
        EXPECT_EQ(d.windowTitle(), "Selezioni predefinite");
        f->choose("Note", odb::SelectionSet::opContains);
        f->txtValue()->setEditText("urgente");
        f->cmdOK()->click();
    });
    w.mnuDataSelBeforeQuery_Click();
    EXPECT_EQ(prompt->last().text,
              "Selezioni predefinite impostate.\r\rN.B.: Tali impostazioni vengono considerate solo se i "
              "dati che si stanno visualizzando non prevedono ulteriori selezioni (Data.., etc.)");
    EXPECT_EQ(prompt->last().icon(), vbInformation);
    EXPECT_TRUE(action("mnuDataSelBeforeQuery")->isChecked());

    // "Tutti" of the loads is another section: nothing is asked there.
    const int dialogs = static_cast<int>(dialogsShown.size());
    click(kLoadsAllNode);
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "CarichiCommerciale");
    EXPECT_FALSE(action("mnuDataSelBeforeQuery")->isChecked());
    EXPECT_EQ(dialogsShown.size(), dialogs);
    prompt->clear();
    w.mnuDataSelCancel_Click();
    EXPECT_TRUE(prompt->shown().empty());

    // Back on the orders: the selections are asked for, and deleted.
    expect([](QDialog& d) { qobject_cast<odb::ComplexFilterDialog*>(&d)->cmdOK()->click(); });
    click(kOrdersAllNode);
    EXPECT_TRUE(action("mnuDataSelBeforeQuery")->isChecked());
    EXPECT_EQ(w.TitleCaption(1), w.TitleTag() + "  [selezioni impostate]");
    w.mnuDataSelCancel_Click();
    EXPECT_EQ(prompt->last().text, "Selezioni predefinite eliminate.");
    EXPECT_EQ(prompt->last().icon(), 0);
    EXPECT_FALSE(action("mnuDataSelBeforeQuery")->isChecked());
    EXPECT_FALSE(w.PredefinedSelections());
}

}  // namespace
