// The main window while another computer holds the database file for a long while: the grid
// paints what it has and says so once, the tree stays on the section the grid shows, a save keeps
// what was typed, and once the lock goes every row and command is back without a re-read.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/LibraryError.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/FieldEditor.h"
#include "odb/ui/RecordWindow.h"
#include "startup/SharedState.h"
#include "support/OtherComputerLock.h"

namespace {

constexpr int kCustomerOrdersNode = 2;
constexpr int kCustomersNode = 35;
// More rows than a view reads at first: the row painted far down needs the rest read.
constexpr int kCustomers = 1500;
constexpr int kFarRow = 1400;

class BusyDatabaseTest : public MainWindowTest {
  protected:
    frmMain& customers() {
        frmMain& w = start();
        g_objConnection->Execute(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO Clienti (Codice, Descrizione) SELECT 'C' || i, 'Cliente ' || i FROM n")
                .arg(kCustomers));
        click(kCustomersNode);
        w.resize(1200, 800);
        w.show();
        QApplication::setActiveWindow(&w);
        QApplication::processEvents();
        // The waits for the lock are short here; what is checked is what was shown.
        g_objConnection->SetBusyTimeout(50);
        return w;
    }
    // The name shown on the far row, as the grid paints it.
    QString farText(frmMain& w) {
        const int column = w.dgView()->gridModel()->columns().indexOf("Descrizione");
        return w.dgView()->model()->data(w.dgView()->model()->index(kFarRow, column)).toString();
    }
    // Another computer's long change, on a table this window does not show.
    std::unique_ptr<OtherComputerLock> lock() {
        auto held = std::make_unique<OtherComputerLock>(g_objConnection->Path(),
                                                        "UPDATE TipiAssistenza SET PrezzoOrario = 1");
        EXPECT_TRUE(held->holds());
        return held;
    }
    const QString busy = odb::LibraryError::Text(odb::odbErrBusy);
};

TEST_F(BusyDatabaseTest, ALongLockLeavesTheGridTheTreeAndTheRecordWindowWhole) {
    frmMain& w = customers();
    odb::DataGrid* grid = w.dgView();
    const QString before = w.statusText();
    const QString expected =
        GetDBTable("Clienti").OpenData()->ReadRows(kFarRow, 1, {"Descrizione"}).front().front().toText();
    ASSERT_FALSE(expected.isEmpty());
    QSignalSpy unreadable(grid, &odb::DataGrid::RowsUnreadable);
    auto held = lock();

    // Painting far down: nothing raised from the paint (the test's main fails on that), no box,
    // the row empty, and the status line says it once, also after an activation's re-read.
    grid->scrollTo(grid->model()->index(kFarRow, 0));
    for (int paint = 0; paint < 3; ++paint)
        grid->viewport()->repaint();
    w.Form_Activate();
    grid->viewport()->repaint();
    EXPECT_TRUE(prompt->shown().empty()) << prompt->texts().join("|").toStdString();
    EXPECT_EQ(unreadable.count(), 1);
    EXPECT_EQ(w.statusText().toStdString(), busy.toStdString());
    EXPECT_TRUE(farText(w).isEmpty());

    // A click on a section that cannot be read is told; the tree stays on the section shown.
    auto* tree = w.findChild<QTreeWidget*>();
    ASSERT_TRUE(tree);
    tree->scrollToItem(w.Node(kCustomerOrdersNode));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tree->visualItemRect(w.Node(kCustomerOrdersNode)).center());
    QApplication::processEvents();
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_TRUE(prompt->last().text.startsWith("Visualizzazione dati fallita"))
        << prompt->last().text.toStdString();
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "Clienti");
    EXPECT_EQ(w.SelectedNode(), w.Node(kCustomersNode));
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>{w.Node(kCustomersNode)});

    // Once the lock goes: the grid reads the row again by itself, the status line is back, and
    // the commands act on the row without a re-read.
    QSignalSpy readable(grid, &odb::DataGrid::RowsReadable);
    held->release();
    ASSERT_TRUE(readable.wait(20000));
    EXPECT_EQ(farText(w).toStdString(), expected.toStdString());
    EXPECT_EQ(w.statusText().toStdString(), before.toStdString());
    grid->setCurrentIndex(grid->model()->index(kFarRow, 0));
    prompt->clear();
    QString opened;
    expect([&](QDialog& d) {
        auto* r = qobject_cast<odb::RecordWindow*>(&d);
        ASSERT_TRUE(r);
        opened = r->editor("Descrizione")->line()->text();
        // A save refused while the file is held keeps what was typed; OK again stores it.
        r->editor("Citta")->line()->setText("Pavia");
        held = lock();
        r->cmdOK()->click();
        EXPECT_EQ(prompt->texts().join("|").toStdString(), busy.toStdString());
        EXPECT_EQ(d.result(), QDialog::Rejected);  // still open
        EXPECT_EQ(r->editor("Citta")->line()->text().toStdString(), "Pavia");
        held->release();
        r->cmdOK()->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    w.mnuFileProperties_Click();
    EXPECT_EQ(opened.toStdString(), expected.toStdString());
    EXPECT_EQ(GetDBTable("Clienti").OpenData("Citta='Pavia'")->ColText("Descrizione").toStdString(),
              expected.toStdString());

    // A click on the section after the lock opens it.
    click(kCustomerOrdersNode);
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "CommesseCliente");
}

}  // namespace
