// The period dialog.
#include "startup/frmFromDateToDate.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/DateUtil.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "startup/DateBoxes.h"
#include "startup/PlaceDialog.h"
#include "startup/modZeltoFormUtility.h"

namespace {

// A box and its calendar: a clicked day is written in the box; a valid date typed in the box moves
// the calendar when the box is left, anything else leaves the calendar where it is.
void Pair(QLineEdit* box, QCalendarWidget* calendar) {
    QObject::connect(calendar, &QCalendarWidget::clicked, box,
                     [box](QDate day) { box->setText(DayText(day)); });
    QObject::connect(box, &QLineEdit::editingFinished, calendar, [box, calendar] {
        double date = 0;
        if (ParseVbDate(box->text(), date)) calendar->setSelectedDate(QDateTimeFromOle(date).date());
    });
}

// Opens one side on its argument, or on today.
void Fill(QLineEdit* box, QCalendarWidget* calendar, const Variant& value) {
    calendar->setSelectedDate(DayOf(value));
    box->setText(value.isEmptyOrNull() ? FormatVbDate(Clock::today()) : value.toText());
}

}  // namespace

frmFromDateToDate::frmFromDateToDate(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Selezione Periodo"));
    setObjectName(QStringLiteral("frmFromDateToDate"));
    txtFromDate_ = new QLineEdit(this);
    txtToDate_ = new QLineEdit(this);
    calFromData_ = NewCalendar(this);
    calToData_ = NewCalendar(this);
    cmdSet_ = new QPushButton(QStringLiteral("&OK"), this);
    cmdSet_->setDefault(true);
    auto* lblFrom = new QLabel(QStringLiteral("&Da Data:"), this);
    auto* lblTo = new QLabel(QStringLiteral("&A Data:"), this);
    lblFrom->setBuddy(txtFromDate_);
    lblTo->setBuddy(txtToDate_);
    for (QLineEdit* box : {txtFromDate_, txtToDate_})
        box->setMaxLength(19);

    auto* grid = new QGridLayout(this);
    auto* fromRow = new QHBoxLayout;
    fromRow->addWidget(lblFrom);
    fromRow->addWidget(txtFromDate_, 1);
    auto* toRow = new QHBoxLayout;
    toRow->addWidget(lblTo);
    toRow->addWidget(txtToDate_, 1);
    grid->addLayout(fromRow, 0, 0);
    grid->addLayout(toRow, 0, 1);
    grid->addWidget(calFromData_, 1, 0);
    grid->addWidget(calToData_, 1, 1);
    grid->addWidget(cmdSet_, 2, 1, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    Pair(txtFromDate_, calFromData_);
    Pair(txtToDate_, calToData_);
    connect(cmdSet_, &QPushButton::clicked, this, [this] { cmdSet_Click(); });
}

void frmFromDateToDate::SetDate(Variant& fromDate, Variant& toDate, int32_t yPos, int32_t xPos) {
    frmFromDateToDate dialog(DialogOwner());
    Fill(dialog.txtFromDate_, dialog.calFromData_, fromDate);
    Fill(dialog.txtToDate_, dialog.calToData_, toDate);
    dialog.confirmed_ = false;
    PlaceDialog(&dialog, yPos, xPos);
    odb::RunModal(dialog);
    if (!dialog.confirmed_) return;
    fromDate = dialog.fromDate_;
    toDate = dialog.toDate_;
}

void frmFromDateToDate::cmdSet_Click() {
    using namespace MsgBoxStyle;
    double from = 0, to = 0;
    if (!ParseVbDate(txtFromDate_->text(), from)) {
        Prompt::instance().msgBox(QStringLiteral("La data di inizio periodo non è valida."), vbCritical,
                                  g_strMsgBoxTitle, this);
        return;
    }
    if (!ParseVbDate(txtToDate_->text(), to)) {
        Prompt::instance().msgBox(QStringLiteral("La data di fine periodo non è valida."), vbCritical,
                                  g_strMsgBoxTitle, this);
        return;
    }
    // The two dates are taken as typed, also a start after the end.
    fromDate_ = Variant::fromDate(from);
    toDate_ = Variant::fromDate(to);
    confirmed_ = true;
    accept();
}
