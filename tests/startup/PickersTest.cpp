// The search dialog and the two date dialogs: their keys, default buttons, remembered search,
// messages, what they hand back on confirmation and on cancel, and where they stand.
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>

#include "base/DateUtil.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Clock.h"
#include "startup/frmDateSetting.h"
#include "startup/frmFromDateToDate.h"
#include "startup/frmSearchText.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

namespace {

using namespace MsgBoxStyle;

void press(QWidget* w, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

// Runs the dialogs shown, driving each with `drive` instead of waiting for a user.
class Pickers : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        Clock::setFixed(QDateTime(QDate(2024, 5, 17), QTime(10, 30, 0)));
        previous_ = odb::SetModalRunner([this](QDialog& d) {
            d.show();
            ++shown;
            position = d.pos();
            size = d.size();
            if (drive) drive(d);
            const int result = d.result();
            d.hide();
            return result;
        });
    }
    void TearDown() override {
        odb::SetModalRunner(std::move(previous_));
        TempFolderTest::TearDown();
    }
    std::function<void(QDialog&)> drive;
    int shown = 0;
    QPoint position;
    QSize size;
    ScopedRecordingPrompt prompt;

  private:
    odb::ModalRunner previous_;
};

// ---- the search dialog ----

class SearchDialog : public Pickers {
  protected:
    void SetUp() override {
        Pickers::SetUp();
        frmSearchText::LastFieldName.clear();
        frmSearchText::LastSearchText.clear();
    }
    // Opens the dialog on `field`, lets `act` work on it and returns GetSelection's result.
    bool search(const QString& field, const std::function<void(frmSearchText&)>& act, bool inside = true,
                bool next = true) {
        drive = [&](QDialog& d) { act(static_cast<frmSearchText&>(d)); };
        return frmSearchText::GetSelection(nullptr, field, inside, next);
    }
};

TEST_F(SearchDialog, EnterConfirmsAndTheFieldAndTextAreRemembered) {
    QString startText;
    EXPECT_TRUE(search("Cliente", [&](frmSearchText& d) {
        startText = d.txtSearch()->text();
        d.txtSearch()->setText("Ros");
        press(d.txtSearch(), Qt::Key_Return);
    }));
    EXPECT_EQ(startText, "");
    EXPECT_TRUE(frmSearchText::Confirmed);
    EXPECT_EQ(frmSearchText::SearchText, "Ros");
    EXPECT_FALSE(frmSearchText::SearchNext);
    EXPECT_EQ(frmSearchText::LastFieldName, "Cliente");
    EXPECT_EQ(frmSearchText::LastSearchText, "Ros");
}

TEST_F(SearchDialog, F3ConfirmsWithNextAndEscCancelsLeavingTheLastSearch) {
    EXPECT_TRUE(search("Cliente", [](frmSearchText& d) {
        d.txtSearch()->setText("Bian");
        press(d.txtSearch(), Qt::Key_F3);
    }));
    EXPECT_TRUE(frmSearchText::SearchNext);
    EXPECT_EQ(frmSearchText::SearchText, "Bian");

    // F3 also where the next button is not shown.
    EXPECT_TRUE(search(
        "Cliente", [](frmSearchText& d) { press(d.chkInternal(), Qt::Key_F3); }, false, false));
    EXPECT_TRUE(frmSearchText::SearchNext);

    // Esc: this call's results are reset on load, the remembered search stays.
    frmSearchText::SearchText = "vecchio";
    frmSearchText::SearchInside = true;
    EXPECT_FALSE(search("Codice", [](frmSearchText& d) {
        d.txtSearch()->setText("Z");
        press(d.txtSearch(), Qt::Key_Escape);
    }));
    EXPECT_FALSE(frmSearchText::Confirmed);
    EXPECT_EQ(frmSearchText::SearchText, "");
    EXPECT_FALSE(frmSearchText::SearchInside);
    EXPECT_FALSE(frmSearchText::SearchNext);
    EXPECT_EQ(frmSearchText::LastFieldName, "Cliente");
    EXPECT_EQ(frmSearchText::LastSearchText, "Bian");
}

// ---- the period dialog ----

using PeriodDialog = Pickers;

TEST_F(PeriodDialog, InvalidDatesAreRefusedAndTheDialogStaysOpen) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;  // empty: confirmed
    };
    const Case cases[] = {
        {"31/02/2004", "01/03/2004", "La data di inizio periodo non è valida."},
        {"", "01/03/2004", "La data di inizio periodo non è valida."},
        {"01/03/2004", "32/03/2004", "La data di fine periodo non è valida."},
        {"01/03/2004", "15/03/2004", ""},
        {"20/03/2004", "01/03/2004", ""},  // a start after the end is taken as typed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " - " + c.to);
        prompt->clear();
        bool stayedOpen = false;
        drive = [&](QDialog& d) {
            auto& p = static_cast<frmFromDateToDate&>(d);
            p.txtFromDate()->setText(c.from);
            p.txtToDate()->setText(c.to);
            p.cmdSet()->click();
            stayedOpen = p.isVisible();
            if (stayedOpen) press(&p, Qt::Key_Escape);
        };
        Variant from, to;
        frmFromDateToDate::SetDate(from, to);
        const QString message = QString::fromUtf8(c.message);
        if (message.isEmpty()) {
            EXPECT_TRUE(prompt->shown().empty());
            EXPECT_FALSE(stayedOpen);
            double f = 0, t = 0;
            ASSERT_TRUE(ParseVbDate(c.from, f) && ParseVbDate(c.to, t));
            EXPECT_EQ(from.type(), VarType::Date);
            EXPECT_EQ(from.toDate(), f);
            EXPECT_EQ(to.toDate(), t);
        } else {
            ASSERT_EQ(prompt->shown().size(), 1u);
            EXPECT_EQ(prompt->last().text, message);
            EXPECT_TRUE(stayedOpen);
            EXPECT_TRUE(from.isEmpty() && to.isEmpty()) << "a refused period must not be handed back";
        }
    }
}

// ---- the single-date dialog ----

using DateDialog = Pickers;

TEST_F(DateDialog, OpensOnTheDateOrTodayAndHandsBackTheChosenDay) {
    struct Case {
        Variant given;
        QDate opened;
        int action;  // 0 Esc, 1 the button, 2 a double click on the calendar
        QDate chosen;
    };
    const Case cases[] = {
        {Variant(), QDate(2024, 5, 17), 0, {}},
        {Variant::null(), QDate(2024, 5, 17), 1, QDate(2024, 5, 17)},
        {Variant::fromDate(MakeOleDate(2023, 11, 2, 15, 45, 0)), QDate(2023, 11, 2), 1, QDate(2023, 11, 2)},
        {Variant::fromDate(MakeOleDate(2023, 11, 2)), QDate(2023, 11, 2), 2, QDate(2023, 11, 20)},
    };
    for (const Case& c : cases) {
        QDate opened;
        drive = [&](QDialog& d) {
            auto& s = static_cast<frmDateSetting&>(d);
            opened = s.calTimeSetting()->selectedDate();
            if (c.action == 0) press(&s, Qt::Key_Escape);
            if (c.action == 1) s.cmdSetting()->click();
            if (c.action == 2) {
                s.calTimeSetting()->setSelectedDate(c.chosen);
                emit s.calTimeSetting()->activated(c.chosen);
            }
        };
        const Variant result = frmDateSetting::SetDate(c.given);
        EXPECT_EQ(opened, c.opened);
        if (c.action == 0) {
            EXPECT_TRUE(result.isEmpty());
        } else {
            EXPECT_EQ(result.type(), VarType::Date);
            EXPECT_EQ(result.toDate(), OleDateFromQDate(c.chosen));
        }
    }
}

}  // namespace
