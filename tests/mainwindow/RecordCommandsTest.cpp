// The record commands of the main window, the grid's events and field settings, the keys and the
// library's notifications.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/DateUtil.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/EventSource.h"
#include "odb/GridLayout.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/FieldChooser.h"
#include "odb/ui/FieldEditor.h"
#include "odb/ui/PanelSupport.h"
#include "odb/ui/RecordWindow.h"
#include "platform/Clock.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmSearchText.h"
#include "support/OtherComputerLock.h"

namespace {

using namespace MsgBoxStyle;

constexpr int kCustomerOrdersNode = 2;
constexpr int kCustomersNode = 35;
constexpr int kUsersNode = 38;
constexpr int kDetailsNode = 48;

class RecordCommandsTest : public MainWindowTest {
  protected:
    void TearDown() override {
        Clock::reset();
        MainWindowTest::TearDown();
    }
    frmMain& customers(int count) {
        frmMain& w = start();
        auto ds = GetDBTable("Clienti").OpenData();
        for (int i = 1; i <= count; ++i)
            EXPECT_TRUE(
                ds->AddRow({"Descrizione", QStringLiteral("Cliente %1").arg(i, 2, 10, QLatin1Char('0'))}));
        click(kCustomersNode);
        return w;
    }
    // The new-row window of a customer: `name` typed, then OK.
    static Step newCustomer(const QString& name) {
        return [name](QDialog& d) {
            auto* r = qobject_cast<odb::RecordWindow*>(&d);
            ASSERT_TRUE(r);
            r->editor("Descrizione")->line()->setText(name);
            emit r->editor("Descrizione")->line()->editingFinished();
            r->cmdOK()->click();
        };
    }
    int rowsIn(const QString& table) { return GetDBTable(table).OpenData()->RowCount(); }
    static QString customerName(const Variant& bookmark) {
        auto rows = GetDBTable("Clienti").OpenData();
        return rows->FindBookmark(bookmark) ? rows->ColText("Descrizione") : QString();
    }
    // The names of the customers the grid highlights, in grid order.
    static std::string highlighted(const odb::DataGrid* grid) {
        QStringList out;
        for (const Variant& b : grid->SelBookmarks())
            out << customerName(b);
        return out.join(QLatin1Char(',')).toStdString();
    }
    // Picks the grid rows `first` to `last` on their row headings: a click, then Shift + click.
    static void pickRows(odb::DataGrid* grid, int first, int last) {
        QHeaderView* headings = grid->verticalHeader();
        auto at = [&](int row) {
            return QPoint(5, headings->sectionViewportPosition(row) + headings->sectionSize(row) / 2);
        };
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, Qt::NoModifier, at(first));
        if (last != first)
            QTest::mouseClick(headings->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(last));
    }
    void showActive(frmMain& w) {
        w.resize(1200, 800);
        w.show();
        QApplication::setActiveWindow(&w);
        QApplication::processEvents();
    }
    int count(const QString& text) {
        int n = 0;
        for (const auto& s : prompt->shown())
            if (s.text == text) ++n;
        return n;
    }
};

TEST_F(RecordCommandsTest, NewAndModifyGoThroughTheRecordWindowAndBindTheGridOncePerReRead) {
    frmMain& w = customers(2);
    auto ds = w.CurrentDataSet();
    int reReads = 0;
    // The window hears the re-read first; the model bound then is the one the grid keeps.
    QPointer<odb::DataGridModel> boundAtReRead;
    QObject::connect(&ds->EventSource(), &odb::EventSource::OnRefreshRecordset, [&] {
        ++reReads;
        boundAtReRead = w.dgView()->gridModel();
    });

    // Insert: the new-row window; OK stores the row and the view reads it.
    expect(newCustomer("Nuovo cliente"));
    QPointer<odb::DataGridModel> before = w.dgView()->gridModel();
    EXPECT_TRUE(w.Form_KeyDown(Qt::Key_Insert, Qt::NoModifier));
    EXPECT_EQ(rowsIn("Clienti"), 4);
    EXPECT_EQ(ds->RowCount(), 4);
    EXPECT_EQ(reReads, 1);
    EXPECT_TRUE(before.isNull());  // bound again, and the binding read nothing again
    EXPECT_EQ(w.dgView()->gridModel(), boundAtReRead.data());
    EXPECT_EQ(ds->ColText("Descrizione"), "Nuovo cliente");

    // A cancelled new row: nothing read again.
    expect(cancel());
    w.mnuFileNew_Click();
    EXPECT_EQ(reReads, 1);
    EXPECT_EQ(rowsIn("Clienti"), 4);

    // Enter (and a double click) open the grid's current row for editing.
    ASSERT_TRUE(
        w.dgView()->SetBookmark(GetDBTable("Clienti").OpenData("Descrizione='Cliente 01'")->Bookmark()));
    expect([](QDialog& d) {
        auto* r = qobject_cast<odb::RecordWindow*>(&d);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->editor("Descrizione")->line()->text(), "Cliente 01");
        r->editor("Citta")->line()->setText("Pavia");
        emit r->editor("Citta")->line()->editingFinished();
        r->cmdOK()->click();
    });
    EXPECT_TRUE(w.Form_KeyDown(Qt::Key_Return, Qt::NoModifier));
    EXPECT_EQ(GetDBTable("Clienti").OpenData("Citta='Pavia'")->RowCount(), 1);
    EXPECT_EQ(reReads, 2);

    // Columns picked on their headings: a double click opens nothing and does not beep.
    showActive(w);
    QHeaderView* headings = w.dgView()->horizontalHeader();
    QTest::mouseClick(headings->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      QPoint(headings->sectionViewportPosition(0) + 5, 5));
    ASSERT_EQ(w.dgView()->SelStartCol(), 0);
    const int shown = static_cast<int>(dialogsShown.size());
    w.dgView_DblClick();
    EXPECT_EQ(dialogsShown.size(), shown);
    EXPECT_EQ(prompt->beeps(), 0);

    // Without a grid (a group chosen), the record commands beep.
    click(34);
    w.mnuFileNew_Click();
    w.mnuFileProperties_Click();
    w.mnuFileDelete_Click();
    w.mnuSave_Click();
    EXPECT_EQ(prompt->beeps(), 4);
    EXPECT_EQ(dialogsShown.size(), shown);
}

TEST_F(RecordCommandsTest, ARecordWindowOpensWithItsFirstEditableFieldFocused) {
    frmMain& w = customers(0);
    showActive(w);
    // The window as the user gets it, active, and keys typed at once.
    QString focused, typed;
    auto typeAtOnce = [&](const QString& keys, const QString& field) {
        return [&, keys, field](QDialog& d) {
            auto* r = qobject_cast<odb::RecordWindow*>(&d);
            ASSERT_TRUE(r);
            r->show();
            QApplication::setActiveWindow(r);
            QApplication::processEvents();
            QWidget* focus = QApplication::focusWidget();
            for (QWidget* p = focus; p; p = p->parentWidget())
                if (auto* e = qobject_cast<odb::FieldEditor*>(p)) focused = e->field().name;
            if (focus) QTest::keyClicks(focus, keys);
            typed = r->editor(field)->line()->text();
            r->cmdCancel()->click();
        };
    };
    expect(typeAtOnce("Rossi", "Descrizione"));
    action("mnuFileNew")->trigger();
    EXPECT_EQ(focused.toStdString(), "Descrizione");
    EXPECT_EQ(typed.toStdString(), "Rossi");

    // An existing row, opened with Enter, the same.
    ASSERT_TRUE(GetDBTable("Operai").OpenData()->AddRow({"Codice", "0012", "Nominativo", "Rossi Mario"}));
    ASSERT_TRUE(GetDBTable("Ingressi")
                    .OpenData()
                    ->AddRow({"Operaio", "0012", "Data", Variant::fromDate(MakeOleDate(2024, 3, 4))}));
    int accesses = 0;
    for (int i = 1; w.Node(i); ++i)
        if (frmMain::NodeKey(w.Node(i)) == "Ingressi") accesses = i;
    ASSERT_GT(accesses, 0);
    click(accesses);
    ASSERT_EQ(w.CurrentDataSet()->RowCount(), 1);
    focused.clear();
    expect(typeAtOnce("", "Data"));
    EXPECT_TRUE(w.Form_KeyDown(Qt::Key_Return, Qt::NoModifier));
    EXPECT_EQ(focused.toStdString(), "Data");
    EXPECT_EQ(stepsLeft(), 0);
}

TEST_F(RecordCommandsTest, DeleteAsksAndACancelTouchesNothing) {
    frmMain& w = customers(3);
    prompt->answer(MsgResult::Cancel);
    EXPECT_TRUE(w.Form_KeyDown(Qt::Key_Delete, Qt::NoModifier));
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Confermi l'eliminazione dei dati selezionati ?");
    EXPECT_EQ(prompt->last().buttons(), vbOKCancel);
    EXPECT_EQ(prompt->last().icon(), vbQuestion);
    EXPECT_EQ(rowsIn("Clienti"), 4);
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // OK with one row picked: the current row goes, through the single-row road.
    const Variant current = w.dgView()->Bookmark();
    prompt->answer(MsgResult::OK);
    w.mnuFileDelete_Click();
    EXPECT_EQ(rowsIn("Clienti"), 3);
    EXPECT_FALSE(GetDBTable("Clienti").OpenData()->FindBookmark(current));
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RecordCommandsTest, TheExportWritesTheRowsOrNothingWhenCancelled) {
    frmMain& w = customers(3);
    // Cancelled in the file chooser: no file, no message, the message window gone.
    w.mnuSave_Click();
    EXPECT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().kind, RecordingPrompt::Kind::SaveFile);
    EXPECT_FALSE(frmMessage::isLoaded());

    const QString file = path("clienti.odb");
    prompt->answerPath(file);
    w.mnuSave_Click();
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(prompt->shown().size(), 2u);
    EXPECT_FALSE(frmMessage::isLoaded());
}

TEST_F(RecordCommandsTest, AStopDuringAMultiRowDeleteEndsTheLoop) {
    frmMain& w = customers(10);
    showActive(w);
    auto ds = w.CurrentDataSet();
    ASSERT_EQ(ds->RowCount(), 11);
    // The ten new customers, picked on the row headings (the default customer comes first).
    ASSERT_EQ(w.dgView()->gridModel()->text(0, 0), "Cliente generico");
    pickRows(w.dgView(), 1, 10);
    ASSERT_EQ(w.dgView()->SelBookmarks().size(), 10u);

    int removed = 0;
    QObject::connect(&ds->EventSource(), &odb::EventSource::RowRemoved, [&] {
        // The user stops once the third row is gone.
        if (++removed == 3) frmMessage::instance().cmdStop_Click();
    });
    prompt->answer(MsgResult::OK);   // the deletion
    prompt->answer(MsgResult::Yes);  // "Confermi l'interruzione ?"
    w.mnuFileDelete_Click();
    EXPECT_EQ(removed, 3);
    EXPECT_EQ(rowsIn("Clienti"), 8);
    EXPECT_EQ(GetDBTable("Clienti")
                  .OpenData("Descrizione Like 'Cliente 0*' OR Descrizione='Cliente 10'")
                  ->RowCount(),
              7);
    EXPECT_EQ(count("Operazione interrotta"), 1);
    EXPECT_EQ(prompt->last().text, "Operazione interrotta");
    // The grid shows the rows left, the seven not reached still picked.
    EXPECT_EQ(w.dgView()->gridModel()->rowCount(), ds->RowCount());
    EXPECT_EQ(w.dgView()->SelBookmarks().size(), 7u);
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RecordCommandsTest, ARefusedRowOfSeveralStaysAndIsToldOnce) {
    frmMain& w = start();
    click(kUsersNode);
    showActive(w);
    auto ds = w.CurrentDataSet();
    QStringList names;
    for (int r = 0; r < ds->RowCount(); ++r)
        names << ds->ReadRows(r, 1, {"Nome"}).front().front().toText();
    const int admin = static_cast<int>(names.indexOf("Amministratore"));
    const int op = static_cast<int>(names.indexOf("Operatore"));
    ASSERT_GE(admin, 0);
    ASSERT_GE(op, 0);
    ASSERT_EQ(std::abs(admin - op), 1) << names.join(",").toStdString();
    pickRows(w.dgView(), std::min(admin, op), std::max(admin, op));
    ASSERT_EQ(w.dgView()->SelBookmarks().size(), 2u);
    prompt->answer(MsgResult::OK);
    w.mnuFileDelete_Click();
    EXPECT_EQ(count("Non è possibile eliminare l'utente Amministratore"), 1);
    EXPECT_EQ(GetDBTable("Utenti").OpenData("Nome='Amministratore'")->RowCount(), 1);
    EXPECT_EQ(GetDBTable("Utenti").OpenData("Nome='Operatore'")->RowCount(), 0);
}

TEST_F(RecordCommandsTest, AMoveOfTheCurrentRowDropsPicksButHeadingPicksStay) {
    frmMain& w = customers(5);
    showActive(w);
    odb::DataGrid* grid = w.dgView();
    pickRows(grid, 1, 3);
    EXPECT_EQ(grid->SelBookmarks().size(), 3u);
    // A re-read (the window's activation does one) keeps the picks.
    w.CurrentDataSet()->Requery();
    EXPECT_EQ(grid->SelBookmarks().size(), 3u);
    // The grid's own type-ahead does not move the row.
    const int row = grid->currentIndex().row();
    static_cast<QAbstractItemView*>(grid)->keyboardSearch("Cliente");
    EXPECT_EQ(grid->currentIndex().row(), row);
    // A key moves the current row: only that row stays picked.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(grid, &down);
    EXPECT_EQ(grid->SelBookmarks().size(), 1u);
    // The right click: the current-field menu on a cell, the related records below the headings,
    // the order on the headings.
    const int top = grid->horizontalHeader()->height();
    const int left = grid->verticalHeader()->width();
    w.dgView_MouseUp(Qt::RightButton, left + 10, top + 5);
    EXPECT_EQ(w.LastGridPopup()->objectName(), "mnuFieldFuncs");
    w.LastGridPopup()->close();
    w.dgView_MouseUp(Qt::RightButton, 3, top + 5);
    EXPECT_EQ(w.LastGridPopup()->objectName(), "mnuAssociation");
    w.LastGridPopup()->close();
    w.dgView_MouseUp(Qt::RightButton, left + 10, top / 2);
    EXPECT_EQ(w.LastGridPopup()->objectName(), "mnuOrder");
    w.LastGridPopup()->close();

    // Typing with no search field (every view chooses one; a heading has none): nothing opens,
    // the row stays.
    const Variant current = w.CurrentDataSet()->Bookmark();
    click(34);
    ASSERT_EQ(w.FindButtonTag(), "");
    EXPECT_FALSE(w.Form_KeyDown(Qt::Key_M, Qt::NoModifier));
    EXPECT_TRUE(dialogsShown.filter("frmSearchText").isEmpty());
    EXPECT_EQ(w.CurrentDataSet()->Bookmark().toLong(), current.toLong());
}

TEST_F(RecordCommandsTest, AfterAReReadTheHighlightIsOnTheRowTheCommandsActOn) {
    frmMain& w = customers(3);
    showActive(w);
    odb::DataGrid* grid = w.dgView();
    // A row clicked, then a new one stored: the highlight moves to the new row, the current one.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(grid->gridModel()->index(1, 0)).center());
    ASSERT_EQ(highlighted(grid), "Cliente 01");
    expect(newCustomer("Nuovo cliente"));
    w.mnuFileNew_Click();
    EXPECT_EQ(customerName(grid->Bookmark()), "Nuovo cliente");
    EXPECT_EQ(highlighted(grid), "Nuovo cliente");
    // "Elimina" deletes the row highlighted.
    prompt->answer(MsgResult::OK);
    w.mnuFileDelete_Click();
    EXPECT_EQ(GetDBTable("Clienti").OpenData("Descrizione='Nuovo cliente'")->RowCount(), 0);
    EXPECT_EQ(GetDBTable("Clienti").OpenData("Descrizione='Cliente 01'")->RowCount(), 1);
}

TEST_F(RecordCommandsTest, PicksFollowTheirRowsWhenAnotherComputerAddsOrDeletesRows) {
    frmMain& w = customers(6);
    showActive(w);
    odb::DataGrid* grid = w.dgView();
    // Another computer's change, then the window activated again (it reads the view again).
    auto otherComputer = [&](const char* change) {
        OtherComputerLock other(g_objConnection->Path(), change, "BEGIN IMMEDIATE");
        ASSERT_TRUE(other.holds());
        other.release();
        w.Form_Activate();
        QApplication::processEvents();
    };
    w.CurrentDataSet()->SetSortOrder(QStringLiteral("Descrizione"));
    // Picked upwards: the current row is the first pick.
    pickRows(grid, 2, 0);
    ASSERT_EQ(highlighted(grid), "Cliente 01,Cliente 02,Cliente 03");
    const int row = grid->currentIndex().row();
    // Rows added above the picks, then one of them deleted: the picks and the current row follow
    // their rows.
    otherComputer("INSERT INTO Clienti (Codice, Descrizione) VALUES ('A1', 'Aaa 1'), ('A2', 'Aaa 2')");
    EXPECT_EQ(grid->currentIndex().row(), row + 2);
    EXPECT_EQ(customerName(grid->Bookmark()), "Cliente 01");
    EXPECT_EQ(highlighted(grid), "Cliente 01,Cliente 02,Cliente 03");
    otherComputer("DELETE FROM Clienti WHERE Descrizione = 'Aaa 1'");
    EXPECT_EQ(grid->currentIndex().row(), row + 1);
    EXPECT_EQ(highlighted(grid), "Cliente 01,Cliente 02,Cliente 03");
    // A pick deleted there is no longer picked; "Elimina" deletes the rows still picked.
    otherComputer("DELETE FROM Clienti WHERE Descrizione = 'Cliente 02'");
    EXPECT_EQ(highlighted(grid), "Cliente 01,Cliente 03");
    prompt->answer(MsgResult::OK);
    w.mnuFileDelete_Click();
    EXPECT_EQ(GetDBTable("Clienti").OpenData("Descrizione IN ('Cliente 01', 'Cliente 03')")->RowCount(), 0);
    EXPECT_EQ(
        GetDBTable("Clienti").OpenData("Descrizione IN ('Aaa 2', 'Cliente 04', 'Cliente 05')")->RowCount(),
        3);
    // The current row deleted there: the current row the data set moves to is the only pick.
    ASSERT_TRUE(w.CurrentDataSet()->FindRow(QStringLiteral("Descrizione='Cliente 05'")));
    const int first = w.CurrentDataSet()->AbsolutePosition();
    pickRows(grid, first, first + 1);
    ASSERT_EQ(highlighted(grid), "Cliente 05,Cliente 06");
    otherComputer("DELETE FROM Clienti WHERE Descrizione = 'Cliente 06'");
    EXPECT_EQ(highlighted(grid), customerName(grid->Bookmark()).toStdString());
}

TEST_F(RecordCommandsTest, AnActivationKeepsThePlaceInTheGrid) {
    // A box or a dialog closed, or the user back from another window: the view is read again.
    frmMain& w = start();
    g_objConnection->Execute(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                       "INSERT INTO Clienti (Codice, Descrizione) SELECT 'C' || i, 'Cliente ' || i FROM n"));
    click(kCustomersNode);
    showActive(w);
    odb::DataGrid* grid = w.dgView();
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    const int row = grid->rowAt(grid->viewport()->height() / 2);
    pickRows(grid, row, row + 2);
    ASSERT_EQ(grid->currentIndex().row(), row + 2);
    auto place = [&] {
        QStringList picked;
        for (const Variant& b : grid->SelBookmarks())
            picked << b.toText();
        return QStringLiteral("current %1 at %2, picked %3, scrolled %4,%5")
            .arg(grid->Bookmark().toText())
            .arg(grid->rowViewportPosition(grid->currentIndex().row()))
            .arg(picked.join(QLatin1Char(',')))
            .arg(bar->value())
            .arg(grid->horizontalScrollBar()->value())
            .toStdString();
    };
    auto activate = [&] {
        const std::string before = place();
        w.Form_Activate();
        QApplication::processEvents();
        EXPECT_EQ(place(), before);
    };
    activate();
    // Also with the current row scrolled out of sight.
    bar->setValue(bar->value() + 200);
    activate();

    // A new row is shown, wherever the place was.
    expect(newCustomer("Nuovo cliente"));
    w.mnuFileNew_Click();
    ASSERT_EQ(w.CurrentDataSet()->ColText("Descrizione"), "Nuovo cliente");
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex()).center()));
}

TEST_F(RecordCommandsTest, TypeAheadOpensTheSearchWithTheTypedKey) {
    frmMain& w = customers(2);
    frmSearchText::LastFieldName.clear();
    MenuArray& fields = w.mnuSearchItems();
    int descr = 0;
    for (int i = 1; i < fields.Count(); ++i)
        if (fields.Tag(i) == "Descrizione") descr = i;
    ASSERT_GT(descr, 0);
    // A search on "Descrizione" first.
    expect([](QDialog& d) {
        auto* s = qobject_cast<frmSearchText*>(&d);
        ASSERT_TRUE(s);
        s->txtSearch()->setText("Cliente 02");
        s->cmdOK_Click();
    });
    w.mnuSearchItems_Click(descr);
    ASSERT_EQ(w.FindButtonTag(), QString::number(descr));
    ASSERT_EQ(w.CurrentDataSet()->ColText("Descrizione"), "Cliente 02");

    // "a" typed in the grid: that field's dialog, "a" in its box.
    QString typed = "?", field = "?";
    expect([&](QDialog& d) {
        auto* s = qobject_cast<frmSearchText*>(&d);
        ASSERT_TRUE(s);
        typed = s->txtSearch()->text();
        field = s->lblFieldName()->text();
        d.reject();
    });
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(w.dgView(), &a);
    EXPECT_TRUE(a.isAccepted());
    EXPECT_EQ(typed, "a");
    EXPECT_TRUE(field.contains(fields.Caption(descr))) << field.toStdString();
    EXPECT_EQ(w.CurrentDataSet()->ColText("Descrizione"), "Cliente 02");
    // A letter with Shift, as with Ctrl, is the grid's: no search opens.
    QKeyEvent capital(QEvent::KeyPress, Qt::Key_C, Qt::ShiftModifier, "C");
    QApplication::sendEvent(w.dgView(), &capital);
    EXPECT_FALSE(w.Form_KeyDown(Qt::Key_C, Qt::ShiftModifier));
    EXPECT_FALSE(w.Form_KeyDown(Qt::Key_A, Qt::ControlModifier));
    EXPECT_EQ(dialogsShown.count("frmSearchText"), 2);
}

TEST_F(RecordCommandsTest, TheGridKeepsColumnWidthsAndTheFieldSequence) {
    frmMain& w = start();
    ASSERT_TRUE(GetDBTable("Clienti").OpenData()->AddRow({"Descrizione", "Rossi", "Codice", "ROSSI"}));
    ASSERT_TRUE(GetDBTable("CommesseCliente").OpenData()->AddRow({"Cliente", "ROSSI"}));
    click(kCustomerOrdersNode);
    const QStringList all = w.dgView()->gridModel()->columns();
    ASSERT_GT(all.size(), 2);
    const int progressivo = static_cast<int>(all.indexOf("Progressivo"));
    // Widened by the user: the heading's section resized, as a drag does.
    w.dgView()->horizontalHeader()->resizeSection(progressivo, odb::PixelsFromTwips(2400, w.dgView()));
    ASSERT_EQ(w.dgView()->ColumnWidth(progressivo), 2400);
    w.Unload();

    // After a restart the width comes back.
    window.reset();
    g_objConnection.reset();
    g_objDatabase.reset();
    load();
    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    window->Form_Activate();
    click(kCustomerOrdersNode);
    frmMain& again = *window;
    EXPECT_EQ(again.dgView()->ColumnWidth(again.dgView()->gridModel()->columns().indexOf("Progressivo")),
              2400);

    // The sequence "Progressivo,Cliente".
    expect([](QDialog& d) {
        auto* chooser = qobject_cast<odb::FieldChooser*>(&d);
        ASSERT_TRUE(chooser);
        EXPECT_EQ(d.windowTitle(), "Sequenza di Visualizzazione Campi");
        chooser->RemoveAll();
        for (const char* caption : {"Progressivo", "Cliente"}) {
            const auto found = chooser->lstAvailable()->findItems(caption, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << caption;
            chooser->lstAvailable()->clearSelection();
            found.front()->setSelected(true);
            chooser->AddSelected();
        }
        chooser->cmdOK()->click();
    });
    again.mnuGridFldSequence_Click();
    EXPECT_TRUE(action("mnuGridFldSequence")->isChecked());
    EXPECT_EQ(again.dgView()->gridModel()->columns(), (QStringList{"Progressivo", "Cliente"}));
    again.mnuGridFldAll_Click();
    EXPECT_EQ(again.dgView()->gridModel()->columns(), all);
    // A re-read (the window's activation does one) keeps what is shown.
    again.CurrentDataSet()->Requery();
    EXPECT_EQ(again.dgView()->gridModel()->columns(), all);
    click(kCustomersNode);
    click(kCustomerOrdersNode);
    EXPECT_EQ(again.dgView()->gridModel()->columns(), (QStringList{"Progressivo", "Cliente"}));
    EXPECT_TRUE(action("mnuGridFldSequence")->isChecked());

    prompt->answer(MsgResult::Yes);
    again.mnuGridCancel_Click();
    EXPECT_EQ(prompt->last().text, "Vuoi ripristinare le impostazioni predefinite per la griglia corrente?");
    EXPECT_EQ(again.dgView()->gridModel()->columns(), all);
    EXPECT_FALSE(action("mnuGridFldSequence")->isChecked());
    EXPECT_NE(again.dgView()->ColumnWidth(again.dgView()->gridModel()->columns().indexOf("Progressivo")),
              2400);
}

TEST_F(RecordCommandsTest, TheRebuildKeySumsTheStepsAgainAndGoesOnWhereItStopped) {
    frmMain& w = start();
    Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(7, 0)));
    ASSERT_TRUE(
        GetDBTable("DedirIdovuduvIrezadiv")
            .OpenData()
            ->AddRow({"Codice", "T1", "Descrizione", "Tornitura", "CostoOrario", Currency::fromLong(30)}));
    ASSERT_TRUE(
        GetDBTable("Operai").OpenData()->AddRow({"Codice", "7", "Nominativo", "Rossi", "Manzione", "T1"}));
    for (const char* number : {"A1", "A2", "A3"}) {
        ASSERT_TRUE(GetDBTable("DettagliCommesse").OpenData()->AddRow({"NumeroCommessa", number}));
        auto detail =
            GetDBTable("DettagliCommesse").OpenData(QStringLiteral("NumeroCommessa='%1'").arg(number));
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(8, 0)));
        auto steps = detail->GetReference("Passaggi");
        ASSERT_TRUE(steps->NewRow());
        steps->SetReference("Operaio", "7");
        ASSERT_TRUE(steps->SaveRow());
        Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(8, 30)));
        ASSERT_TRUE(steps->SetColValue("Chiuso", true) && steps->SaveRow());
    }
    auto minutes = [](const char* number) {
        return GetDBTable("DettagliCommesse")
            .OpenData(QStringLiteral("NumeroCommessa='%1'").arg(number))
            ->ColNumber("TempoImpiegato");
    };
    ASSERT_EQ(minutes("A1"), 30);
    // Spoilt by plain SQL.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(g_objConnection->Path().toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 2000);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE DettagliCommesse SET TempoImpiegato = 999", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    g_objConnection->Refresh();
    click(kDetailsNode);
    auto ds = w.CurrentDataSet();
    ds->SetSortOrder("NumeroCommessa");
    ASSERT_TRUE(ds->RowFirst());

    // No: nothing changes.
    prompt->answer(MsgResult::No);
    EXPECT_TRUE(w.Form_KeyDown(Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    EXPECT_EQ(prompt->last().icon(), vbExclamation);
    EXPECT_EQ(prompt->last().defaultButton(), 2);
    EXPECT_TRUE(prompt->last().text.startsWith("ATTENZIONE! - Questa operazione rielabora"));
    EXPECT_EQ(minutes("A1"), 999);

    // Stopped at the second row: the first is rebuilt, the walk stands on the second.
    int rebuilt = 0;
    QMetaObject::Connection stop = QObject::connect(&ds->EventSource(), &odb::EventSource::RowMoved, [&] {
        if (++rebuilt == 1) frmMessage::instance().cmdStop_Click();
    });
    prompt->answer(MsgResult::Yes);
    prompt->answer(MsgResult::Yes);  // the stop
    w.Form_KeyDown(Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QObject::disconnect(stop);
    EXPECT_EQ(minutes("A1"), 30);
    EXPECT_EQ(minutes("A2"), 999);
    EXPECT_EQ(ds->ColText("NumeroCommessa"), "A2");
    EXPECT_FALSE(frmMessage::isLoaded());

    prompt->answer(MsgResult::Yes);
    w.Form_KeyDown(Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(minutes("A2"), 30);
    EXPECT_EQ(minutes("A3"), 30);
}

TEST_F(RecordCommandsTest, NotificationsAskAndTellAsTheLibraryWants) {
    frmMain& w = customers(1);
    bool cancel = true;
    w.OnQueryMessage(nullptr, 1, "Procedere?", cancel);
    EXPECT_EQ(prompt->last().buttons(), vbOKCancel);
    EXPECT_EQ(prompt->last().icon(), vbQuestion);
    EXPECT_EQ(prompt->last().defaultButton(), 2);
    EXPECT_TRUE(cancel);  // the default answer, Cancel
    cancel = false;
    prompt->answer(MsgResult::OK);
    w.OnQueryMessage(nullptr, 3, "Attenzione", cancel);
    EXPECT_EQ(prompt->last().icon(), vbExclamation);
    EXPECT_EQ(prompt->last().defaultButton(), 1);
    EXPECT_FALSE(cancel);

    // The status line repaints, but a click waiting meanwhile runs only after the library's work.
    showActive(w);
    QWidget* deleteButton = nullptr;
    for (QWidget* b : w.findChildren<QWidget*>())
        if (b->metaObject()->className() == QByteArray("QToolButton") &&
            b->property("text").toString() == "Elimina")
            deleteButton = b;
    ASSERT_TRUE(deleteButton);
    prompt->clear();
    const QPointF middle(deleteButton->width() / 2.0, deleteButton->height() / 2.0);
    QApplication::postEvent(
        deleteButton, new QMouseEvent(QEvent::MouseButtonPress, middle, deleteButton->mapToGlobal(middle),
                                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QApplication::postEvent(
        deleteButton, new QMouseEvent(QEvent::MouseButtonRelease, middle, deleteButton->mapToGlobal(middle),
                                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    w.OnEvent(odb::odbEvtRequery, nullptr, "Clienti");
    EXPECT_TRUE(w.statusText().endsWith(" <Clienti>..."));
    EXPECT_TRUE(prompt->shown().empty());
    prompt->answer(MsgResult::Cancel);
    QApplication::processEvents();
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Confermi l'eliminazione dei dati selezionati ?");

    // The message window's stop button, clicked during the library's work, is seen by the next
    // progress call and not by the status line's repaint.
    frmMessage& message = frmMessage::instance();
    message.ShowMsg("Eliminazione in corso...", &w);
    message.StartProgress(100, true);
    QPushButton* stop = nullptr;
    for (QPushButton* b : message.findChildren<QPushButton*>())
        if (b->isVisible()) stop = b;
    ASSERT_TRUE(stop);
    prompt->clear();
    prompt->answer(MsgResult::Yes);  // "Confermi l'interruzione ?"
    const QPointF centre(stop->width() / 2.0, stop->height() / 2.0);
    QApplication::postEvent(stop, new QMouseEvent(QEvent::MouseButtonPress, centre, stop->mapToGlobal(centre),
                                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QApplication::postEvent(
        stop, new QMouseEvent(QEvent::MouseButtonRelease, centre, stop->mapToGlobal(centre), Qt::LeftButton,
                              Qt::NoButton, Qt::NoModifier));
    w.OnEvent(odb::odbEvtRequery, nullptr, "Clienti");
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_FALSE(message.Stopped());
    bool goOn = true;
    for (int i = 0; i < 50 && goOn; ++i) {
        goOn = message.Progress();
        if (goOn) QTest::qSleep(5);
    }
    EXPECT_FALSE(goOn);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Confermi l'interruzione ?");
    frmMessage::Unload();
}

}  // namespace
