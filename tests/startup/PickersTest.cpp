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
    QString startText, caption, label;
    EXPECT_TRUE(search("Cliente", [&](frmSearchText& d) {
        startText = d.txtSearch()->text();
        caption = d.windowTitle();
        label = d.lblFieldName()->text();
        d.txtSearch()->setText("Ros");
        press(d.txtSearch(), Qt::Key_Return);
    }));
    EXPECT_EQ(startText, "");
    EXPECT_EQ(caption, "Cerca in");
    EXPECT_EQ(label, "Cliente");
    EXPECT_TRUE(frmSearchText::Confirmed);
    EXPECT_EQ(frmSearchText::SearchText, "Ros");
    EXPECT_FALSE(frmSearchText::SearchNext);
    EXPECT_EQ(frmSearchText::LastFieldName, "Cliente");
    EXPECT_EQ(frmSearchText::LastSearchText, "Ros");
}

TEST_F(SearchDialog, TheSameFieldAgainRestoresTheTextAndEnterGoesOn) {
    search("Cliente", [](frmSearchText& d) {
        d.txtSearch()->setText("Ros");
        press(d.txtSearch(), Qt::Key_Return);
    });
    struct Case {
        const char* field;
        bool nextShown;
        bool retype;
        const char* startText;
        bool searchNext;
    };
    const Case cases[] = {
        {"Cliente", true, false, "Ros", true},    // Enter continues the search
        {"Cliente", true, true, "Ros", false},    // typing gives Enter back to OK
        {"Cliente", false, false, "Ros", false},  // no next button: Enter confirms
        {"Codice", true, false, "", false},       // another field starts empty
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        frmSearchText::LastFieldName = "Cliente";
        frmSearchText::LastSearchText = "Ros";
        QString start;
        bool nextDefault = false;
        EXPECT_TRUE(search(
            c.field,
            [&](frmSearchText& d) {
                start = d.txtSearch()->text();
                nextDefault = d.cmdNext()->isDefault();
                if (c.retype) d.txtSearch()->setText("Rossi");
                if (QString(c.field) != "Cliente") d.txtSearch()->setText("C1");
                press(d.txtSearch(), Qt::Key_Return);
            },
            true, c.nextShown));
        EXPECT_EQ(start, c.startText);
        EXPECT_EQ(nextDefault, c.nextShown && QString(c.field) == "Cliente");
        EXPECT_EQ(frmSearchText::SearchNext, c.searchNext);
        EXPECT_TRUE(frmSearchText::Confirmed);
    }
}

TEST_F(SearchDialog, InsideSearchNeedsTwoCharactersAndF2TogglesIt) {
    struct Case {
        const char* text;
        int f2Presses;
        bool enabled, inside;
    };
    const Case cases[] = {
        {"R", 1, false, false},  // ticked but disabled: not an inside search
        {"Ro", 1, true, true},  {"Ro", 2, true, false}, {"Ros", 0, true, false}, {"", 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        bool enabled = false, ticked = false;
        search("Cliente", [&](frmSearchText& d) {
            d.txtSearch()->setText(c.text);
            for (int i = 0; i < c.f2Presses; ++i)
                press(d.txtSearch(), Qt::Key_F2);
            enabled = d.chkInternal()->isEnabled();
            ticked = d.chkInternal()->isChecked();
            d.cmdOK()->click();
        });
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(ticked, c.f2Presses % 2 == 1);
        EXPECT_EQ(frmSearchText::SearchInside, c.inside);
    }
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

TEST_F(SearchDialog, FocusSelectsTheWholeText) {
    frmSearchText::LastFieldName = "Cliente";
    frmSearchText::LastSearchText = "Rossi";
    QString selected;
    search("Cliente", [&](frmSearchText& d) {
        d.txtSearch()->deselect();
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(d.txtSearch(), &in);
        QApplication::processEvents();
        selected = d.txtSearch()->selectedText();
        press(d.txtSearch(), Qt::Key_Escape);
    });
    EXPECT_EQ(selected, "Rossi");
}

// ---- the period dialog ----

using PeriodDialog = Pickers;

TEST_F(PeriodDialog, OpensOnTheArgumentsOrTodayAndCancelLeavesThemAsTheyWere) {
    struct Case {
        Variant from, to;
        const char* fromText;
        const char* toText;
        QDate fromDay, toDay;
    };
    const Case cases[] = {
        {Variant(), Variant::null(), "17/05/2024", "17/05/2024", QDate(2024, 5, 17), QDate(2024, 5, 17)},
        {Variant::fromDate(MakeOleDate(2023, 1, 9)), Variant::fromDate(MakeOleDate(2023, 2, 28)),
         "09/01/2023", "28/02/2023", QDate(2023, 1, 9), QDate(2023, 2, 28)},
        {Variant("01/03/2022"), Variant(), "01/03/2022", "17/05/2024", QDate(2022, 3, 1), QDate(2024, 5, 17)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fromText);
        QString fromText, toText, title;
        QDate fromDay, toDay;
        drive = [&](QDialog& d) {
            auto& p = static_cast<frmFromDateToDate&>(d);
            title = p.windowTitle();
            fromText = p.txtFromDate()->text();
            toText = p.txtToDate()->text();
            fromDay = p.calFromData()->selectedDate();
            toDay = p.calToData()->selectedDate();
            p.txtFromDate()->setText("01/01/2020");
            press(&p, Qt::Key_Escape);
        };
        Variant from = c.from, to = c.to;
        frmFromDateToDate::SetDate(from, to, -1, -1);
        EXPECT_EQ(title, "Selezione Periodo");
        EXPECT_EQ(fromText, c.fromText);
        EXPECT_EQ(toText, c.toText);
        EXPECT_EQ(fromDay, c.fromDay);
        EXPECT_EQ(toDay, c.toDay);
        EXPECT_EQ(from.type(), c.from.type());
        EXPECT_EQ(from.toText(), c.from.toText());
        EXPECT_EQ(to.type(), c.to.type());
    }
}

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
        {"31/02/2004", "abc", "La data di inizio periodo non è valida."},
        {"01/03/2004", "15/03/2004", ""},
        {"20/03/2004", "01/03/2004", ""},  // a start after the end is taken as typed
        {"1/3/04", "2/3/04", ""},
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
            EXPECT_EQ(prompt->last().icon(), vbCritical);
            EXPECT_EQ(prompt->last().buttons(), vbOKOnly);
            EXPECT_TRUE(stayedOpen);
            EXPECT_TRUE(from.isEmpty() && to.isEmpty()) << "a refused period must not be handed back";
        }
    }
}

TEST_F(PeriodDialog, CalendarsAndBoxesFollowEachOther) {
    QString clickedText, afterBadText;
    QDate movedTo, keptAt;
    drive = [&](QDialog& d) {
        auto& p = static_cast<frmFromDateToDate&>(d);
        emit p.calToData()->clicked(QDate(2024, 6, 3));
        clickedText = p.txtToDate()->text();
        p.txtFromDate()->setText("25/12/2023");
        emit p.txtFromDate()->editingFinished();
        movedTo = p.calFromData()->selectedDate();
        p.txtFromDate()->setText("31/13/2023");
        emit p.txtFromDate()->editingFinished();
        keptAt = p.calFromData()->selectedDate();
        afterBadText = p.txtFromDate()->text();
        p.txtFromDate()->setText("25/12/2023");
        p.cmdSet()->click();
    };
    Variant from, to;
    frmFromDateToDate::SetDate(from, to);
    EXPECT_EQ(clickedText, "03/06/2024");
    EXPECT_EQ(movedTo, QDate(2023, 12, 25));
    EXPECT_EQ(keptAt, QDate(2023, 12, 25));
    EXPECT_EQ(afterBadText, "31/13/2023");
    EXPECT_EQ(from.toDate(), MakeOleDate(2023, 12, 25));
    EXPECT_EQ(to.toDate(), MakeOleDate(2024, 6, 3));
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
        QString title;
        drive = [&](QDialog& d) {
            auto& s = static_cast<frmDateSetting&>(d);
            title = s.windowTitle();
            opened = s.calTimeSetting()->selectedDate();
            if (c.action == 0) press(&s, Qt::Key_Escape);
            if (c.action == 1) s.cmdSetting()->click();
            if (c.action == 2) {
                s.calTimeSetting()->setSelectedDate(c.chosen);
                emit s.calTimeSetting()->activated(c.chosen);
            }
        };
        const Variant result = frmDateSetting::SetDate(c.given);
        EXPECT_EQ(title, "Impostazione della data");
        EXPECT_EQ(opened, c.opened);
        if (c.action == 0) {
            EXPECT_TRUE(result.isEmpty());
        } else {
            EXPECT_EQ(result.type(), VarType::Date);
            EXPECT_EQ(result.toDate(), OleDateFromQDate(c.chosen));
        }
    }
}

TEST_F(DateDialog, BothDateDialogsAreCentredOrPlacedInTwips) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    drive = [](QDialog& d) { press(&d, Qt::Key_Escape); };
    frmDateSetting::SetDate(Variant(), -1, -1);
    EXPECT_NEAR(position.x(), screen.x() + (screen.width() - size.width()) / 2, 1);
    EXPECT_NEAR(position.y(), screen.y() + (screen.height() - size.height()) / 2, 1);
    frmDateSetting::SetDate(Variant(), 1500, 3000);
    EXPECT_EQ(position, QPoint(screen.x() + 200, screen.y() + 100));
    Variant from, to;
    frmFromDateToDate::SetDate(from, to, -1, 750);
    EXPECT_EQ(position.x(), screen.x() + 50);
    EXPECT_NEAR(position.y(), screen.y() + (screen.height() - size.height()) / 2, 1);
    EXPECT_EQ(shown, 3);
}

}  // namespace
