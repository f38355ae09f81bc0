// frmFromDateToDate: the dialog that asks for a period: two dates, each typed in its box or
// clicked in its calendar.
#pragma once

#include <QDialog>

#include <cstdint>

#include "base/Variant.h"

class QCalendarWidget;
class QLineEdit;
class QPushButton;

class frmFromDateToDate : public QDialog {
    Q_OBJECT
  public:
    // Shows the dialog modally, opened on the two dates (today for an Empty or Null one); on
    // confirmation writes the chosen dates into both arguments, on cancel leaves them as they were.
    // Positions are in twips, -1 centring the dialog.
    static void SetDate(Variant& fromDate, Variant& toDate, int32_t yPos = -1, int32_t xPos = -1);

    void cmdSet_Click();

    QLineEdit* txtFromDate() const { return txtFromDate_; }
    QLineEdit* txtToDate() const { return txtToDate_; }
    QCalendarWidget* calFromData() const { return calFromData_; }
    QCalendarWidget* calToData() const { return calToData_; }
    QPushButton* cmdSet() const { return cmdSet_; }

  private:
    explicit frmFromDateToDate(QWidget* parent);

    QLineEdit* txtFromDate_ = nullptr;
    QLineEdit* txtToDate_ = nullptr;
    QCalendarWidget* calFromData_ = nullptr;
    QCalendarWidget* calToData_ = nullptr;
    QPushButton* cmdSet_ = nullptr;
    bool confirmed_ = false;
    Variant fromDate_, toDate_;
};
