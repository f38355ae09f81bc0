// The single-date dialog.
#include "startup/frmDateSetting.h"

#include <QCalendarWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/DateUtil.h"
#include "odb/ui/ModalDialog.h"
#include "startup/DateBoxes.h"
#include "startup/PlaceDialog.h"

frmDateSetting::frmDateSetting(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Impostazione della data"));
    setObjectName(QStringLiteral("frmDateSetting"));
    calTimeSetting_ = NewCalendar(this);
    cmdSetting_ = new QPushButton(QStringLiteral("&OK"), this);
    cmdSetting_->setDefault(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(calTimeSetting_);
    column->addWidget(cmdSetting_, 0, Qt::AlignRight);
    column->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdSetting_, &QPushButton::clicked, this, [this] { cmdSetting_Click(); });
    // A double click on a day chooses it.
    connect(calTimeSetting_, &QCalendarWidget::activated, this, [this] { cmdSetting_Click(); });
}

Variant frmDateSetting::SetDate(const Variant& date, int32_t yPos, int32_t xPos) {
    frmDateSetting dialog(DialogOwner());
    dialog.calTimeSetting_->setSelectedDate(DayOf(date));
    dialog.confirmed_ = false;
    PlaceDialog(&dialog, yPos, xPos);
    odb::RunModal(dialog);
    return dialog.confirmed_ ? dialog.date_ : Variant();
}

void frmDateSetting::cmdSetting_Click() {
    date_ = Variant::fromDate(OleDateFromQDate(calTimeSetting_->selectedDate()));
    confirmed_ = true;
    accept();
}
