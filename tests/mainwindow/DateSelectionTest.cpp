// The date selection of the data view: the date field of each table, the where condition, the
// texts of the date button and menu, the four commands and the totals.
#include <QAction>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/DateUtil.h"
#include "mainwindow/DateSelection.h"
#include "odb/DataSet.h"
#include "startup/SharedState.h"
#include "startup/frmDateSetting.h"
#include "startup/frmFromDateToDate.h"

namespace {

Variant date(int y, int m, int d) {
    return Variant::fromDate(MakeOleDate(y, m, d));
}

TEST(DateSelection, TheWhereCondition) {
    DateSelectionState s;
    EXPECT_EQ(AddDateSelection("", "Data", s), "");
    s.month = true;
    s.date = date(2024, 3, 15);
    EXPECT_EQ(AddDateSelection("", "DataInserimento", s),
              "Month(DataInserimento) = 3 AND Year(DataInserimento) = 2024");
    EXPECT_EQ(AddDateSelection("Operaio=5", "Data", s),
              "(Operaio=5) AND Month(Data) = 3 AND Year(Data) = 2024");
    EXPECT_EQ(AddDateSelection("Operaio=5", "", s), "Operaio=5");
    // The month goes before the day; the day's upper bound is the next day, left out.
    s.day = true;
    EXPECT_EQ(AddDateSelection("", "Data", s), "Month(Data) = 3 AND Year(Data) = 2024");
    s.month = false;
    s.date = date(2023, 12, 31);
    EXPECT_EQ(AddDateSelection("", "Data", s), "Data >= #12/31/2023# AND Data < #01/01/2024#");
    // A period of one day is that whole day; it needs both ends.
    s.day = false;
    s.period = true;
    s.from = date(2024, 3, 1);
    s.to = date(2024, 3, 1);
    EXPECT_EQ(AddDateSelection("", "DataInizio", s),
              "DataInizio >= #03/01/2024# AND DataInizio < #03/02/2024#");
    s.to = Variant();
    EXPECT_EQ(AddDateSelection("W", "DataInizio", s), "W");
}

TEST(DateSelection, TheButtonAndMenuTexts) {
    DateSelectionState s;
    DateSelectionTexts t = DateSelectionCaption("Data Inserimento", s);
    EXPECT_EQ(t.caption, "< tutti >");

    s.month = true;
    s.date = date(2024, 3, 15);
    t = DateSelectionCaption("Data Inserimento", s);
    EXPECT_EQ(t.caption, "Inserimento  < marzo 2024 >");
    EXPECT_EQ(t.toolTip, "Dati del mese 03/2024 relativi a Data Inserimento");
    EXPECT_EQ(t.menuCaption, "Solo in data Inserimento  < marzo 2024 >");

    s.month = false;
    s.day = true;
    t = DateSelectionCaption("Data", s);  // nothing after "Data": no blanks either
    EXPECT_EQ(t.caption, "< 15 mar 2024 >");
    t = DateSelectionCaption("Scadenza", s);
    EXPECT_EQ(t.caption, "Scadenza< 15 mar 2024 >");

    s.day = false;
    s.period = true;
    s.from = date(2024, 2, 1);
    s.to = date(2024, 2, 29);
    t = DateSelectionCaption("data inizio", s);
    EXPECT_EQ(t.caption, "< 01 feb 2024 - 29 feb 2024 >");
    EXPECT_EQ(t.toolTip, "Dati del periodo < 01/02/2024 - 29/02/2024 > relativi a data inizio");
    EXPECT_EQ(t.menuCaption, "Solo in data < 01 feb 2024 - 29 feb 2024 >");
}

class DateSelectionViewTest : public MainWindowTest {
  protected:
    frmMain& onCustomerOrders() {
        frmMain& w = start();
        click(2);
        return w;
    }
    static Step chooseDate(const Variant& day) {
        return [day](QDialog& d) {
            auto* dialog = qobject_cast<frmDateSetting*>(&d);
            ASSERT_TRUE(dialog) << "expected the date dialog";
            dialog->calTimeSetting()->setSelectedDate(QDateTimeFromOle(day.toDate()).date());
            dialog->cmdSetting()->click();
        };
    }
};

TEST_F(DateSelectionViewTest, AMonthOfTheInsertionDate) {
    frmMain& w = onCustomerOrders();
    EXPECT_FALSE(w.cmdDateSel()->isHidden());
    EXPECT_EQ(w.DateSelTag(), "DataInserimento");
    EXPECT_EQ(w.cmdDateSel()->text(), "< tutti >");

    expect(chooseDate(date(2024, 3, 15)));
    action("mnuSelMonth")->trigger();
    EXPECT_EQ(w.cmdDateSel()->text(), "Inserimento  < marzo 2024 >");
    EXPECT_EQ(w.cmdDateSel()->toolTip(), "Dati del mese 03/2024 relativi a Data Inserimento");
    EXPECT_EQ(w.findChild<QMenu*>("mnuSelection")->title(), "Solo in data Inserimento  < marzo 2024 >");
    EXPECT_TRUE(action("mnuSelMonth")->isChecked());
    EXPECT_FALSE(action("mnuSelAll")->isChecked());
    EXPECT_EQ(w.CurrentDataSet()->SelWhere(), "Month(DataInserimento) = 3 AND Year(DataInserimento) = 2024");

    // A section without a date field shows everything and no date button; coming back selects again.
    click(35);
    EXPECT_TRUE(w.cmdDateSel()->isHidden());
    EXPECT_EQ(w.CurrentDataSet()->SelWhere(), "");
    click(2);
    EXPECT_EQ(w.CurrentDataSet()->SelWhere(), "Month(DataInserimento) = 3 AND Year(DataInserimento) = 2024");

    action("mnuSelAll")->trigger();
    EXPECT_EQ(w.cmdDateSel()->text(), "< tutti >");
    EXPECT_EQ(w.CurrentDataSet()->SelWhere(), "");
}

// A group shows no grid but leaves the date button of the section before it in place, released:
// only a section without a date field hides it.
TEST_F(DateSelectionViewTest, AGroupLeavesTheDateButtonReleased) {
    frmMain& w = start();
    click(16);  // Ingressi
    ASSERT_EQ(w.DateSelTag(), "Data");
    w.cmdDateSel()->setDown(true);
    click(15);  // its group
    EXPECT_FALSE(w.cmdDateSel()->isHidden());
    EXPECT_FALSE(w.cmdDateSel()->isDown());
    EXPECT_EQ(w.cmdDateSel()->text(), "< tutti >");
    EXPECT_EQ(w.DateSelTag(), "Data");
}

TEST_F(DateSelectionViewTest, CancelledDialogsChangeNothing) {
    frmMain& w = onCustomerOrders();
    w.SetStatusMsg("segno");
    expect(cancel());
    action("mnuSelDate")->trigger();
    EXPECT_EQ(w.statusText(), "segno");
    EXPECT_FALSE(g_blnSelDate);
    expect(cancel());
    action("mnuSelPeriod")->trigger();
    EXPECT_EQ(w.statusText(), "segno");
    EXPECT_FALSE(g_blnSelPeriod);
    // "Tutti" while already chosen does not read again.
    action("mnuSelAll")->trigger();
    EXPECT_EQ(w.statusText(), "segno");
    EXPECT_TRUE(action("mnuSelAll")->isChecked());

    // A period confirmed once comes back when the dialog is cancelled later.
    expect([](QDialog& d) {
        auto* dialog = qobject_cast<frmFromDateToDate*>(&d);
        ASSERT_TRUE(dialog);
        dialog->txtFromDate()->setText("01/03/2024");
        dialog->txtToDate()->setText("01/03/2024");
        dialog->cmdSet()->click();
    });
    action("mnuSelPeriod")->trigger();
    EXPECT_EQ(w.CurrentDataSet()->SelWhere(),
              "DataInserimento >= #03/01/2024# AND DataInserimento < #03/02/2024#");
    expect(chooseDate(date(2024, 5, 2)));
    action("mnuSelDate")->trigger();
    EXPECT_TRUE(action("mnuSelDate")->isChecked());
    expect(cancel());
    action("mnuSelPeriod")->trigger();
    EXPECT_TRUE(action("mnuSelPeriod")->isChecked());
    EXPECT_EQ(w.CurrentDataSet()->SelWhere(),
              "DataInserimento >= #03/01/2024# AND DataInserimento < #03/02/2024#");
}

TEST_F(DateSelectionViewTest, CountingTheRowsOnView) {
    frmMain& w = onCustomerOrders();
    action("mnuTotalCount")->trigger();
    EXPECT_EQ(prompt->last().text, "0 Elementi.");
    EXPECT_EQ(prompt->last().style, MsgBoxStyle::vbOKOnly);
    // A group keeps the data set behind it but shows no grid: nothing to count, and nothing shown.
    click(1);
    ASSERT_TRUE(w.CurrentDataSet());
    prompt->clear();
    action("mnuTotalCount")->trigger();
    EXPECT_EQ(prompt->beeps(), 0);
    EXPECT_TRUE(prompt->shown().empty());
}

}  // namespace
