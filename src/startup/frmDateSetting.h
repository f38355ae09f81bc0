// frmDateSetting: the dialog that asks for one date on a calendar.
#pragma once

#include <QDialog>

#include <cstdint>

#include "base/Variant.h"

class QCalendarWidget;
class QPushButton;

class frmDateSetting : public QDialog {
    Q_OBJECT
  public:
    // Shows the dialog modally, opened on `date` (today when Empty or Null); returns the chosen
    // date, or Empty when the user cancelled. Positions are in twips, -1 centring the dialog.
    static Variant SetDate(const Variant& date, int32_t yPos = -1, int32_t xPos = -1);

    void cmdSetting_Click();

    QCalendarWidget* calTimeSetting() const { return calTimeSetting_; }
    QPushButton* cmdSetting() const { return cmdSetting_; }

  private:
    explicit frmDateSetting(QWidget* parent);

    QCalendarWidget* calTimeSetting_ = nullptr;
    QPushButton* cmdSetting_ = nullptr;
    bool confirmed_ = false;
    Variant date_;
};
