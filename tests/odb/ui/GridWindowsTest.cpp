// The grid, the row choosers, the field chooser for orders, the filter dialog, grid layouts and
// the export, on the program's tables.
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>

#include <sys/wait.h>
#include <unistd.h>

#include "WindowsFixture.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/GridLayout.h"
#include "odb/LibraryError.h"
#include "odb/OdbTestUtil.h"
#include "odb/Recordset.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/ComplexFilterDialog.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "odb/ui/DataSetRowsModel.h"
#include "odb/ui/FieldChooser.h"
#include "odb/ui/FieldEditor.h"
#include "odb/ui/PanelSupport.h"
#include "odb/ui/RecordWindow.h"
#include "odb/ui/RowChooser.h"
#include "odb/ui/RowWindow.h"
#include "platform/ProgramFolder.h"
#include "support/OtherComputerLock.h"

using odb::DataGrid;
using odb::SelectionSet;
using uitest::As;
using uitest::Script;

namespace {

class GridWindowsTest : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        database->SetUserLevel(1);
    }
    // Customer job orders 1..n, alternately of "Rossi Srl" and "Bianchi Spa".
    void orders(int n) {
        addCustomer("Rossi Srl", false);
        addCustomer("Bianchi Spa", false);
        connection->BeginTrans();
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(rows("CommesseCliente")->AddRow({"Cliente", i % 2 ? "Rossi Sr" : "Bianchi "}));
        connection->CommitTrans();
    }
    std::shared_ptr<odb::DataSet> view(const QString& order = "Progressivo DESC") {
        return database->Tables()
            .Item("CommesseCliente")
            .OpenData({}, order, "*,Cliente,Progressivo,CommessaChiusa");
    }
    static QStringList column(DataGrid& g, int c) {
        QStringList out;
        for (int r = 0; r < g.gridModel()->rowCount(); ++r)
            out << g.gridModel()->text(r, c);
        return out;
    }
    static int columnOf(DataGrid& g, const QString& field) {
        for (int c = 0; c < g.ColumnCount(); ++c)
            if (g.DataField(c) == field) return c;
        return -1;
    }
};

TEST_F(GridWindowsTest, TheGridShowsValuesAsTheLibraryFormatsThem) {
    DataGrid users;
    odb::DataPanelTools::CreatePanel(rows("Utenti", {}, "Nome"))->BindGrid(users, nullptr, {});
    EXPECT_EQ(column(users, columnOf(users, "LivelloAccesso")),
              QStringList({"Amministrazione", "Interrogazione"}));
    EXPECT_EQ(users.gridModel()->headerData(columnOf(users, "LivelloAccesso"), Qt::Horizontal).toString(),
              "Livello Accesso");

    orders(7);
    DataGrid grid;
    odb::DataPanelTools::CreatePanel(view())->BindGrid(grid, nullptr, {});
    EXPECT_EQ(grid.DataField(0), "DataInserimento");
    const int progressive = columnOf(grid, "Progressivo");
    const int customer = columnOf(grid, "Cliente");
    ASSERT_GE(progressive, 0);
    ASSERT_GE(customer, 0);
    EXPECT_EQ(grid.gridModel()->text(0, progressive), "0007");
    EXPECT_EQ(grid.gridModel()->text(0, customer), "Rossi Srl");
    EXPECT_EQ(grid.gridModel()->text(1, customer), "Bianchi Spa");
    EXPECT_EQ(grid.gridModel()->text(0, 0), "02/03/2026 07:00");
    EXPECT_EQ(grid.gridModel()->data(grid.gridModel()->index(0, progressive), Qt::TextAlignmentRole).toInt() &
                  Qt::AlignRight,
              Qt::AlignRight);
    // Rows are equally high: one line, as the headings.
    EXPECT_EQ(grid.RowHeight(), odb::TwipsFromPixels(grid.horizontalHeader()->height(), &grid));
}

TEST_F(GridWindowsTest, RowsPaintedUnderAnotherComputersLockAreToldOnceAndComeBackByThemselves) {
    // More rows than the first page read: the end of the view is read only once it is painted.
    orders(3 * odb::DataGridModel::kPageRows);
    DataGrid grid;
    odb::DataPanelTools::CreatePanel(view())->BindGrid(grid, nullptr, {});
    grid.resize(600, 300);
    grid.show();
    QCoreApplication::processEvents();
    const int progressive = columnOf(grid, "Progressivo");
    const int last = grid.gridModel()->rowCount() - 1;
    odb::PaintReads& reads = grid.gridModel()->reads();
    QSignalSpy unreadable(&grid, &DataGrid::RowsUnreadable);
    QSignalSpy readable(&grid, &DataGrid::RowsReadable);
    int pages = 0;
    {
        OtherComputerLock other(databasePath(), "UPDATE TipiAssistenza SET PrezzoOrario = 1");
        ASSERT_TRUE(other.holds());
        // Painting rows not read yet waits far less than the busy time, which reads keep, and
        // tries the page once, not once per cell, also when painted again before the retry.
        ASSERT_EQ(connection->BusyTimeout(), odb::Connection::kDefaultBusyTimeoutMs);
        grid.scrollToBottom();
        odbtest::StatementLog log(*connection);
        QElapsedTimer painting;
        painting.start();
        grid.viewport()->repaint();
        EXPECT_LT(painting.elapsed(), connection->BusyTimeout() / 2);
        grid.viewport()->repaint();
        EXPECT_EQ(log.rowReads("CommesseCliente"), 1) << log.all.join("\n").toStdString();
        EXPECT_EQ(connection->BusyTimeout(), odb::Connection::kDefaultBusyTimeoutMs);
        EXPECT_EQ(unreadable.count(), 1);
        // Nothing paints a hidden grid: it tries again once shown.
        EXPECT_TRUE(reads.Retrying());
        grid.hide();
        EXPECT_FALSE(reads.Retrying());
        grid.show();
        EXPECT_TRUE(reads.Retrying());
        pages = grid.gridModel()->pagesRead();
        QCoreApplication::processEvents();
    }
    // Nothing else paints the grid now: it reads again on its own.
    ASSERT_TRUE(readable.wait(20000));
    EXPECT_GT(grid.gridModel()->pagesRead(), pages);
    EXPECT_EQ(grid.gridModel()->data(grid.gridModel()->index(last, progressive)).toString(), "0001");
    EXPECT_FALSE(reads.Retrying());

    // A grid left without a data set tries nothing more.
    OtherComputerLock other(databasePath(), "UPDATE TipiAssistenza SET PrezzoOrario = 1");
    ASSERT_TRUE(other.holds());
    grid.gridModel()->forgetPages();
    grid.viewport()->repaint();
    ASSERT_TRUE(reads.Retrying());
    const QPointer<odb::PaintReads> before(&reads);
    grid.bind(nullptr, {});
    EXPECT_TRUE(before.isNull());
    EXPECT_EQ(readable.count(), 2);
}

TEST_F(GridWindowsTest, TheRowListPaintsUnderAnotherComputersLockAndComesBackByItself) {
    orders(3);
    odb::RowWindow list(view(), "Commesse");
    auto* count = list.findChild<QLabel*>();
    ASSERT_TRUE(count);
    const QString counted = count->text();
    int progressive = -1;
    for (int c = 0; c < list.model()->columnCount(); ++c)
        if (list.model()->field(c).name == "Progressivo") progressive = c;
    ASSERT_GE(progressive, 0);
    const QModelIndex first = list.model()->index(0, progressive);
    const QString busy = odb::LibraryError::Text(odb::odbErrBusy);
    QSignalSpy unreadable(&list.model()->reads(), &odb::PaintReads::RowsUnreadable);
    QSignalSpy readable(&list.model()->reads(), &odb::PaintReads::RowsReadable);
    {
        OtherComputerLock other(databasePath(), "UPDATE TipiAssistenza SET PrezzoOrario = 1");
        ASSERT_TRUE(other.holds());
        // Nothing raised from the paint: the rows show empty and the window says why, once; the
        // painting waits far less than the busy time, and the failed read is not tried again for
        // the other cells nor by the paintings before the retry.
        QElapsedTimer painting;
        painting.start();
        list.show();
        QCoreApplication::processEvents();
        EXPECT_LT(painting.elapsed(), connection->BusyTimeout() / 2);
        odbtest::StatementLog log(*connection);
        list.grid()->viewport()->repaint();
        list.grid()->viewport()->repaint();
        EXPECT_LE(log.rowReads("CommesseCliente"), 1) << log.all.join("\n").toStdString();
        EXPECT_EQ(list.model()->data(first).toString(), "");
        EXPECT_EQ(count->text().toStdString(), busy.toStdString());
        EXPECT_EQ(unreadable.count(), 1);
        list.hide();
        EXPECT_FALSE(list.model()->reads().Retrying());
        list.show();
    }
    // Nothing else paints the list now: it reads again on its own.
    ASSERT_TRUE(readable.wait(20000));
    EXPECT_EQ(count->text(), counted);
    EXPECT_EQ(list.model()->data(first).toString(), "0003");
}

TEST_F(GridWindowsTest, GridAndDataSetFollowEachOtherWithoutRereadingForDeletions) {
    orders(30);
    auto ds = view();
    DataGrid grid;
    odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid, nullptr, {});
    const int progressive = columnOf(grid, "Progressivo");
    int refreshes = 0;
    QObject::connect(&ds->EventSource(), &odb::EventSource::OnRefreshRecordset,
                     [&](odb::DataSet&) { ++refreshes; });

    // The data set moves: the grid follows. The grid moves: the data set follows.
    ASSERT_TRUE(ds->FindRow("Progressivo = 20"));
    EXPECT_EQ(grid.Bookmark().toDouble(), ds->Bookmark().toDouble());
    EXPECT_EQ(grid.Text(), grid.gridModel()->text(10, grid.Col()));
    grid.selectRow(4);
    EXPECT_EQ(ds->ColNumber("Progressivo"), 26);

    // Orders, filters and re-reads reach the grid; the current row stays.
    ds->SetSortOrder("Progressivo");
    EXPECT_EQ(grid.gridModel()->text(0, progressive), "0001");
    EXPECT_EQ(grid.gridModel()->text(grid.currentIndex().row(), progressive), "0026");
    ds->SetFilter("Progressivo > 10");
    EXPECT_EQ(grid.gridModel()->rowCount(), 20);
    EXPECT_EQ(grid.gridModel()->text(grid.currentIndex().row(), progressive), "0026");
    ds->Requery();
    EXPECT_EQ(refreshes, 3);
    EXPECT_EQ(grid.gridModel()->text(grid.currentIndex().row(), progressive), "0026");

    // Two rows deleted through the data set: gone from the grid, the rows after them right.
    odbtest::StatementLog log(*connection);
    for (int number : {12, 15}) {
        ASSERT_TRUE(ds->FindRow("Progressivo = " + QString::number(number)));
        ASSERT_TRUE(ds->DeleteRow());
    }
    EXPECT_EQ(refreshes, 3);
    // The row identities were not read again (that read is the one with the view's order).
    EXPECT_EQ(log.all.filter("FROM \"CommesseCliente\" r").filter("ORDER BY").size(), 0);
    EXPECT_EQ(grid.gridModel()->rowCount(), 18);
    EXPECT_EQ(column(grid, progressive).mid(0, 5), QStringList({"0011", "0013", "0014", "0016", "0017"}));

    // Selected rows in grid order; a row change clears nothing while the data set holds the selection.
    grid.selectionModel()->select(grid.gridModel()->index(3, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid.selectionModel()->select(grid.gridModel()->index(1, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const VariantList selected = grid.SelBookmarks();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0].toDouble(), ds->BookmarkAt(1).toDouble());
    EXPECT_EQ(selected[1].toDouble(), ds->BookmarkAt(3).toDouble());
    bool held = false;
    QObject::connect(&grid, &DataGrid::RowColChange, [&](int, int) { held = ds->SelectionHeld(); });
    ASSERT_TRUE(ds->Recordset().SetBookmark(selected[1]));
    EXPECT_EQ(grid.Bookmark().toDouble(), selected[1].toDouble());
    EXPECT_TRUE(held);
    EXPECT_EQ(grid.SelBookmarks().size(), 2u);
    // A re-read that fails leaves the rows as they were: the rows picked after it are the picks.
    EXPECT_THROW(ds->SetFilter("Nessuno = 1"), AppError);
    grid.selectRow(0);
    ASSERT_EQ(grid.SelBookmarks().size(), 1u);
    EXPECT_EQ(grid.SelBookmarks()[0].toDouble(), ds->BookmarkAt(0).toDouble());
}

// The heading of the current row, picked or not, is the only one marked.
TEST_F(GridWindowsTest, TheCurrentRowIsMarkedOnItsHeadingPickedOrNot) {
    orders(4);
    auto ds = view();
    DataGrid grid;
    odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid, nullptr, {});
    grid.verticalHeader()->setVisible(true);
    grid.verticalHeader()->setFixedWidth(20);
    grid.resize(400, 300);
    const auto marked = [&] {
        const QImage headings = grid.grab(grid.verticalHeader()->geometry()).toImage();
        const QColor mark = grid.verticalHeader()->palette().color(QPalette::ButtonText);
        QList<int> rows;
        for (int r = 0; r < grid.gridModel()->rowCount(); ++r) {
            const QPoint middle(headings.width() / 2, grid.rowViewportPosition(r) + grid.rowHeight(r) / 2);
            if (headings.pixelColor(middle) == mark) rows << r;
        }
        return rows;
    };
    grid.selectRow(2);
    EXPECT_EQ(marked(), QList<int>{2});
    // The row left current once the picks are cleared (a new view, a row deleted) is still marked.
    grid.ClearSelBookmarks();
    ASSERT_TRUE(grid.SelBookmarks().empty());
    EXPECT_EQ(marked(), QList<int>{2});
    ASSERT_TRUE(ds->FindRow("Progressivo = 4"));
    QCoreApplication::processEvents();
    EXPECT_EQ(marked(), QList<int>{0});
}

TEST_F(GridWindowsTest, TheGridTellsItsEvents) {
    orders(3);
    auto ds = view();
    DataGrid grid;
    grid.resize(600, 300);
    grid.show();
    odb::DataPanelTools::CreatePanel(ds)->BindGrid(grid, nullptr, {});
    QList<int> heads, resized, ups;
    int doubles = 0;
    QObject::connect(&grid, &DataGrid::HeadClick, [&](int c) { heads << c; });
    QObject::connect(&grid, &DataGrid::ColResize, [&](int c, int twips) { resized << c << twips; });
    QObject::connect(&grid, &DataGrid::MouseUp, [&](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        ups << int(b) << x << y;
    });
    QObject::connect(&grid, &DataGrid::DblClick, [&] { ++doubles; });
    emit grid.horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(heads, QList<int>({2}));
    grid.horizontalHeader()->resizeSection(1, odb::PixelsFromTwips(2400, &grid));
    EXPECT_EQ(resized, QList<int>({1, 2400}));
    EXPECT_EQ(grid.ColumnWidth(1), 2400);

    const QRect cell = grid.visualRect(grid.gridModel()->index(1, 1));
    const QPointF at = cell.center();
    QMouseEvent press(QEvent::MouseButtonPress, at, grid.viewport()->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, grid.viewport()->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &press);
    QCoreApplication::sendEvent(grid.viewport(), &release);
    ASSERT_EQ(ups.size(), 3);
    EXPECT_EQ(ups[0], int(Qt::RightButton));
    // Below the headings: y counts from the grid's top.
    EXPECT_GT(ups[2], odb::PixelsFromTwips(grid.RowHeight(), &grid));
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(grid.Col(), 1);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, grid.viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &twice);
    EXPECT_EQ(doubles, 1);
}

TEST_F(GridWindowsTest, LayoutsComeBackFromTheSettingsFileAndUnknownFieldsAreSkipped) {
    orders(2);
    const QString ini = QDir(ProgramFolder()).filePath("ZeltoLavrix.INI");
    auto layout = odb::DataPanelTools::LoadGridLayout(ini, "CommesseCliente", "");
    layout->SetFieldSequence("Progressivo,Cliente,Soppresso");
    layout->SetColumnWidth("Progressivo", 2400);
    layout->SetColumnWidth("Soppresso", 1000);
    layout->Save();

    auto again = odb::DataPanelTools::LoadGridLayout(ini, "CommesseCliente", "");
    EXPECT_EQ(again->TableName(), "CommesseCliente");
    EXPECT_EQ(again->FieldSequence(), "Progressivo,Cliente,Soppresso");
    DataGrid grid;
    odb::DataPanelTools::CreatePanel(view())->BindGrid(grid, again.get(), {});
    ASSERT_EQ(grid.ColumnCount(), 2);
    EXPECT_EQ(grid.DataField(0), "Progressivo");
    EXPECT_EQ(grid.DataField(1), "Cliente");
    EXPECT_EQ(grid.ColumnWidth(0), 2400);
    // A sequence of none the table knows: the view's own columns.
    again->SetFieldSequence("Soppresso");
    odb::DataPanelTools::CreatePanel(view())->BindGrid(grid, again.get(), {});
    EXPECT_EQ(grid.ColumnCount(), 6);
}

TEST_F(GridWindowsTest, AValueListColumnShowsItsLabelsWhole) {
    // A tooling detail's type is shown by its label, in a column sized at the default font.
    auto order = addCustomerOrder();
    addToolingDetail(*order, "", 1);
    DataGrid details;
    odb::DataPanelTools::CreatePanel(rows("DettagliCommesse"))->BindGrid(details, nullptr, {});
    const int type = columnOf(details, "Tipo");
    ASSERT_GE(type, 0);
    ASSERT_EQ(column(details, type), QStringList{"Attrezzature"});
    // The cell's text room: the column less its grid line and the item's margins either side.
    const int itemMargin = details.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &details) + 1;
    EXPECT_GE(details.columnWidth(type) - 1 - 2 * itemMargin,
              details.fontMetrics().horizontalAdvance("Attrezzature"));
}

TEST_F(GridWindowsTest, TheRowListShowsLongFieldNamesWhole) {
    // An archive's rows before an import, by their stored field names; a selected row's headers
    // are drawn bold.
    auto archive = std::make_shared<odb::Connection>();
    archive->OpenDatabaseFile(databasePath());
    auto attached = odb::DbmsGlobal::AttachDatabase(archive, &notify);
    odb::RowWindow list(attached->Tables().Item("Operai").OpenData(), "Operai");
    QHeaderView* header = list.grid()->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    const int headerMargin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    QStringList names;
    for (int c = 0; c < list.model()->columnCount(); ++c) {
        const QString name = list.model()->headerData(c, Qt::Horizontal).toString();
        names << name;
        EXPECT_GE(header->sectionSize(c), QFontMetrics(bold).horizontalAdvance(name) + 2 * headerMargin)
            << name.toStdString();
    }
    EXPECT_TRUE(names.contains("AbilitaStraordinari")) << names.join(",").toStdString();
    archive->CloseConnection();
}

TEST_F(GridWindowsTest, TheRowListShowsValuesAsWholeAsTheMainGrid) {
    // The chooser a layout's test opens: its columns start as wide as the main grid's.
    addCustomer("Officine Meccaniche Bianchi", false);
    DataGrid grid;
    odb::DataPanelTools::CreatePanel(rows("Clienti"))->BindGrid(grid, nullptr, {});
    odb::RowWindow list(rows("Clienti"), "Clienti");
    const int description = columnOf(grid, "Descrizione");
    ASSERT_GE(description, 0);
    int shown = -1;
    for (int c = 0; c < list.model()->columnCount(); ++c)
        if (list.model()->field(c).name == "Descrizione") shown = c;
    ASSERT_GE(shown, 0);
    EXPECT_GE(list.grid()->columnWidth(shown), grid.columnWidth(description));
    EXPECT_GE(list.grid()->columnWidth(shown),
              list.grid()->fontMetrics().horizontalAdvance("Officine Meccaniche Bianchi"));
}

TEST_F(GridWindowsTest, ChoosersPickByTypingAndListRowsThatOpenReadOnly) {
    addCustomer("Rossi Srl", false);
    addCustomer("Bianchi Spa", false);
    addCustomer("Rossetti & C.", false);
    auto customers = rows("Clienti", {}, "Descrizione");
    auto panel = odb::DataPanelTools::CreatePanel(customers);
    Script pick({[&](QDialog& d) {
        auto& c = As<odb::RowChooser>(d);
        EXPECT_EQ(c.grid()->DataField(0), "Descrizione");
        EXPECT_TRUE(c.typeAhead("ross"));
        EXPECT_EQ(c.grid()->Text(), "Rossetti & C.");
        EXPECT_FALSE(c.typeAhead("rossz"));
        EXPECT_EQ(c.grid()->Text(), "Rossetti & C.");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(c.search(), &enter);
        return d.result();
    }});
    const Variant picked = panel->SelectRow(-1, -1, -1, "Descrizione");
    ASSERT_FALSE(picked.isEmpty());
    EXPECT_EQ(customers->ColText("Descrizione"), "Rossetti & C.");
    EXPECT_EQ(customers->Bookmark().toDouble(), picked.toDouble());

    Script cancel({[&](QDialog& d) {
        d.reject();  // Esc
        return d.result();
    }});
    EXPECT_TRUE(panel->SelectRow(-1, -1, -1, "Descrizione").isEmpty());

    Script list({[&](QDialog& d) {
                     auto& c = As<odb::RowChooser>(d);
                     EXPECT_EQ(c.cmdOK(), nullptr);
                     c.grid()->selectRow(2);
                     c.cmdOpen()->click();
                     return d.result();
                 },
                 [&](QDialog& d) {
                     auto& w = As<odb::RecordWindow>(d);
                     EXPECT_EQ(w.cmdOK(), nullptr);
                     EXPECT_EQ(w.editor("Descrizione")->line()->text(), "Rossetti & C.");
                     return d.result();
                 }});
    EXPECT_TRUE(panel->SelectRow(-1, -1, 0).isEmpty());
    EXPECT_EQ(list.opened, QStringList({"RowList", "RecordWindow"}));
}

TEST_F(GridWindowsTest, TheFieldChooserOffersTheViewsColumnsAndSortableOnesForAnOrder) {
    orders(3);
    auto ds = view();
    auto panel = odb::DataPanelTools::CreatePanel(ds);
    QStringList offered;
    Script script({[&](QDialog& d) {
        auto& f = As<odb::FieldChooser>(d);
        offered = f.AvailableFields() + f.ChosenFields();
        EXPECT_EQ(f.ChosenFields(), QStringList({"Progressivo DESC"}));
        f.lstChosen()->setCurrentRow(0);
        f.cmdDirection()->click();
        for (int i = 0; i < f.lstAvailable()->count(); ++i)
            f.lstAvailable()->item(i)->setSelected(f.lstAvailable()->item(i)->text() == "Cliente");
        f.cmdAdd()->click();
        f.lstChosen()->setCurrentRow(1);
        f.cmdDirection()->click();
        f.cmdOK()->click();
        return d.result();
    }});
    QString list = ds->SortOrder();
    ASSERT_TRUE(panel->ChooseFields(list, "Ordinamento Complesso", false, true));
    EXPECT_EQ(list, "Progressivo ASC,Cliente DESC");
    EXPECT_FALSE(offered.contains("Note"));  // a memo does not sort
    EXPECT_TRUE(offered.contains("Referente"));
    ds->SetSortOrder(list);
    ds->RowFirst();
    EXPECT_EQ(ds->ColNumber("Progressivo"), 1);

    Script sequence({[&](QDialog& d) {
        auto& f = As<odb::FieldChooser>(d);
        EXPECT_EQ(f.ChosenFields(), ds->ColumnNames());
        EXPECT_TRUE(f.AvailableFields().contains("Note"));
        f.cmdCancel()->click();
        return d.result();
    }});
    QString fields;
    EXPECT_FALSE(panel->ChooseFields(fields, "Sequenza di Visualizzazione Campi", false, false));
    EXPECT_EQ(fields, "");
}

TEST_F(GridWindowsTest, FilterConditionsSelectExactlyTheTypedValuesAndFiltersKeepTheirNames) {
    for (const char* name : {"l'asse", "l'assemblea", "' OR 1=1 --", "Lasse"})
        addCustomer(name, false);
    auto& table = database->Tables().Item("Clienti");
    auto typed = [&](const QString& value) {
        auto set = table.NewSelectionSet(SelectionSet::Filter);
        Script script({[&](QDialog& d) {
            auto& f = As<odb::ComplexFilterDialog>(d);
            f.choose("Descrizione", SelectionSet::opEqual);
            f.txtValue()->setEditText(value);
            f.cmdAdd()->click();
            f.cmdOK()->click();
            return d.result();
        }});
        EXPECT_TRUE(odb::DataPanelTools::ComplexFilter(*set, nullptr, -1, 0, 0, "FILTRO COMPLESSO", 0, 0));
        QStringList found;
        auto ds = table.OpenData(set->FilterText(0, -1));
        for (ds->RowFirst(); !ds->RowInvalid(); ds->RowNext())
            found << ds->ColText("Descrizione");
        return found;
    };
    EXPECT_EQ(typed("l'asse"), QStringList({"l'asse"}));
    EXPECT_EQ(typed("' OR 1=1 --"), QStringList({"' OR 1=1 --"}));

    // Saved by name in the dialog, made current again by name.
    auto set = table.NewSelectionSet(SelectionSet::Filter);
    Script save({[&](QDialog& d) {
        auto& f = As<odb::ComplexFilterDialog>(d);
        f.choose("Descrizione", SelectionSet::opStartsWith);
        f.txtValue()->setEditText("l'ass");
        f.cmdAdd()->click();
        f.cboName()->setEditText("Aperte");
        f.cmdSave()->click();
        f.cmdCancel()->click();
        return d.result();
    }});
    EXPECT_FALSE(odb::DataPanelTools::ComplexFilter(*set, nullptr, -1, 0, 0, "FILTRO COMPLESSO", 0, 0));
    EXPECT_EQ(set->SavedNames(0), "Aperte");
    EXPECT_TRUE(set->Rename("Aperte", 0));
    EXPECT_FALSE(set->Rename("Nessuno", 0));
    EXPECT_EQ(table.OpenData(set->FilterText(0, -1))->RowCount(), 2);
    // A value that does not read as its column's type keeps the dialog open with the reason.
    Script wrong({[&](QDialog& d) {
        auto& f = As<odb::ComplexFilterDialog>(d);
        f.choose("InvioAutomaticoEMail", SelectionSet::opEqual);
        f.txtValue()->setEditText("forse");
        f.cmdOK()->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(notify.messages.last(),
                  "Il valore inserito nel campo 'Invio Automatico E Mail' non è valido: scrivere Sì o No");
        f.txtValue()->setEditText("Sì");
        f.cmdOK()->click();
        return d.result();
    }});
    auto selections = table.NewSelectionSet(SelectionSet::Selection);
    EXPECT_TRUE(
        odb::DataPanelTools::ComplexFilter(*selections, nullptr, -1, 0, -1, "Selezioni predefinite", 0, 0));
    EXPECT_EQ(selections->Conditions().size(), 1u);
}

TEST_F(GridWindowsTest, SetsOfOneNameOnTwoTablesStayApartAfterARestartAndInAnotherProcess) {
    auto orders = database->Tables().Item("OrdiniCommerciale").NewSelectionSet(SelectionSet::Selection);
    orders->AddCondition("Numero", "5", SelectionSet::opGreater);
    orders->Save("Tutti");
    auto loads = database->Tables().Item("CarichiCommerciale").NewSelectionSet(SelectionSet::Selection);
    loads->AddCondition("DataInserimento", "01/03/2026", SelectionSet::opGreaterEqual);
    loads->Save("Tutti");
    const QString ordersWhere = orders->WhereText(-1, -1);
    const QString loadsWhere = loads->WhereText(-1, -1);
    ASSERT_NE(ordersWhere, loadsWhere);

    reopen();
    auto check = [&](odb::Database& db) {
        auto o = db.Tables().Item("OrdiniCommerciale").NewSelectionSet(SelectionSet::Selection);
        auto l = db.Tables().Item("CarichiCommerciale").NewSelectionSet(SelectionSet::Selection);
        return o->Load("Tutti", -1) && l->Load("Tutti", -1) && o->WhereText(-1, -1) == ordersWhere &&
               l->WhereText(-1, -1) == loadsWhere;
    };
    EXPECT_TRUE(check(*database));
    close();
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int code = 1;
        try {
            open();
            code = check(*database) ? 0 : 2;
        } catch (...) {
            code = 3;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(GridWindowsTest, TheCustomersDetailsWhereTextSelectsTheUnshippedToolingAndMachineDetailsOnly) {
    addCustomer("Rossi Srl", false);
    addCustomer("Bianchi Spa", false);
    addToolingPart("Stampo", 10);
    addMachine("M1", 1000);
    auto first = addCustomerOrder();
    first->SetReference("Cliente", "Rossi Sr");
    first->SaveRow();
    addToolingDetail(*first, "Stampo", 1);
    addMachineSale(*first, "M1", 1);
    auto shipped = addCustomerOrder();
    shipped->SetReference("Cliente", "Rossi Sr");
    shipped->SaveRow();
    addToolingDetail(*shipped, "Stampo", 1);
    auto other = addCustomerOrder();
    other->SetReference("Cliente", "Bianchi ");
    other->SaveRow();
    addToolingDetail(*other, "Stampo", 1);
    ASSERT_TRUE(rows("CommesseAssistenza")->AddRow({"Cliente", "Rossi Sr"}));
    close();
    rawSql("UPDATE CommesseCliente SET Spedito = 1 WHERE Progressivo = 2");
    open();

    // Composed as the data view composes it.
    auto customers = rows("Clienti");
    ASSERT_TRUE(customers->FindRow("Descrizione='Rossi Srl'"));
    const QString c =
        "Cliente=" + customers->ValueLiteral("Descrizione", 0, customers->ColValue("Descrizione")) +
        " AND Not Spedito";
    auto& orders = database->Tables().Item("CommesseCliente");
    const QString j = orders.SelectText(orders.KeyField(-1), c);
    QStringList parts;
    for (const char* name : {"Attrezzature", "Macchine"}) {
        const odb::ReferenceDef& r = orders.OwnReferenceDefs().Item(name);
        odb::Table& target = r.RefTable();
        const QString s = target.SelectText(target.KeyColumn("", 0), r.ChildWhere(j));
        parts << target.BaseTable()->KeyField(-1) + " IN (" + s + ")";
    }
    const QString where = "(" + parts[0] + ") Or (" + parts[1] + ")";
    auto details =
        database->Tables()
            .Item("DettagliCommesse")
            .OpenData(
                where, "NumeroCommessa",
                "*,(DettagliAttrezzature.Particolare & DettagliVenditaMacchinari.Macchinario) As Dettaglio");
    QStringList found;
    for (details->RowFirst(); !details->RowInvalid(); details->RowNext())
        found << details->ColText("NumeroCommessa") + " " + details->ColText("Dettaglio");
    // Not the shipped order's (1-0002/001), not the other customer's (1-0003/001), not the service.
    EXPECT_EQ(found, QStringList({"1-0001/001 Stampo", "2-0001/001 Macchina M1"}))
        << found.join(" | ").toStdString();
    EXPECT_EQ(database->Tables().Item("DettagliCommesse").OpenData()->RowCount(), 5);
}

// Counts the export and can stop it.
class Progress : public odb::itfProgress {
  public:
    void OnStart(int32_t, int32_t) override {}
    bool OnProgress(int32_t, int32_t, int32_t, odb::DataSet*, odb::DataSet*) override { return !stop; }
    bool OnStopped() override { return stop; }
    void OnEnd(int32_t, int32_t) override {}
    bool stop = false;
};

TEST_F(GridWindowsTest, ExportedRowsReadBackEqualThroughTheSaveChooser) {
    orders(5);
    ScopedRecordingPrompt prompt;
    const QString file = path("commesse");
    prompt->answerPath(file);
    Progress progress;
    auto panel = odb::DataPanelTools::CreatePanel(view(), nullptr, "");
    ASSERT_TRUE(panel->ExportRows(&progress));
    EXPECT_EQ(prompt->last().kind, RecordingPrompt::Kind::SaveFile);
    auto conn = std::make_shared<odb::Connection>();
    conn->OpenDatabaseFile(file + ".odb");
    auto archive = odb::DbmsGlobal::AttachDatabase(conn, &notify);
    auto back = archive->Tables().Item("CommesseCliente").OpenData({}, "Progressivo DESC");
    auto here = view();
    ASSERT_EQ(back->RowCount(), here->RowCount());
    for (back->RowFirst(), here->RowFirst(); !here->RowInvalid(); back->RowNext(), here->RowNext()) {
        for (const char* field : {"Progressivo", "DataInserimento", "StatoNotifica"})
            EXPECT_EQ(back->ColText(field), here->ColText(field)) << field;
        EXPECT_EQ(back->GetReference("Cliente")->ColText("Descrizione"),
                  here->GetReference("Cliente")->ColText("Descrizione"));
    }
    conn->CloseConnection();

    // Stopped: told, and no file.
    progress.stop = true;
    prompt->answerPath(path("fermato.odb"));
    EXPECT_FALSE(panel->ExportRows(&progress));
    EXPECT_FALSE(QFile::exists(path("fermato.odb")));
    EXPECT_EQ(notify.messages.last(), "Esportazione interrotta: nessun file è stato scritto.");
    // No file chosen: nothing happens.
    EXPECT_FALSE(panel->ExportRows(&progress));
}

}  // namespace
