// frmControlPanel: the administrator's live view of the shop floor. Five lists read from the shared
// database: job-order details in progress with their open steps, the latest completed steps, the
// workers absent or late today, the present workers with no active step, and the closed customer
// job orders not yet shipped. A minute timer refreshes them every configured number of minutes;
// clicking a line shows its details. The window is modeless and owned by the main window.
//
// The five fillers live in ControlPanelLists.cpp, the window and its events here.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

class frmControlPanel : public QDialog {
    Q_OBJECT
  public:
    // The open panel, or nullptr.
    static frmControlPanel* Get();
    // Loads the panel when it is not open (filling its lists) and shows it without blocking over
    // `owner`; an open panel is only brought forward.
    static frmControlPanel* ShowOver(QWidget* owner);

    QListWidget* lstOpenSubLavrix() const { return lists_[0]; }
    QListWidget* lstCloseSubLavrix() const { return lists_[1]; }
    QListWidget* lstWorkerAbsent() const { return lists_[2]; }
    QListWidget* lstWorkerPresentActiveless() const { return lists_[3]; }
    QListWidget* lstCloseLavrix() const { return lists_[4]; }
    // The details text.
    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* lblAggiornamento() const { return lblAggiornamento_; }
    QTimer* tmRefresh() const { return tmRefresh_; }
    QPushButton* cmdRefresh() const { return cmdRefresh_; }
    QPushButton* cmdChiudi() const { return cmdChiudi_; }
    // The texts of a list, top first.
    static QStringList Lines(const QListWidget* list);

    // The visible refresh: the notice, the pointer, the five lists.
    void RefreshPanel();
    // One minute went by.
    void tmRefresh_Timer();
    void cmdChiudi_Click();
    // A click on the line `row` of a list (0 to 4, as numbered above).
    void ListClick(int list, int row);

    // The closing time of the newest step in list 2 (0 when none) and the minutes counted.
    double LastClosing() const { return m_dtmLastClosing; }
    int32_t TimerTicks() const { return m_lngTimerTicks; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    explicit frmControlPanel(QWidget* owner);
    void Form_Load();
    void RefreshAllLists();
    void FillOpenDetailsList();
    void FillClosedStepsList();
    void FillAbsencesList();
    void FillIdleWorkersList();
    void FillClosedOrdersList();
    // The details of the job-order detail `number` into lblTitle.
    void ShowItemDetails(QString number);
    // A list filled anew, `lines` top first, or after its error its message on top.
    void showLines(QListWidget* list, const QStringList& lines);
    void showReadError(QListWidget* list);
    // The read errors told on a list that is not filled anew (the completed steps) go at its next
    // good read.
    void dropReadErrors(QListWidget* list);

    QListWidget* lists_[5] = {};
    QLabel* lblTitle_ = nullptr;
    QLabel* lblAggiornamento_ = nullptr;
    QTimer* tmRefresh_ = nullptr;
    QPushButton* cmdRefresh_ = nullptr;
    QPushButton* cmdChiudi_ = nullptr;
    double m_dtmLastClosing = 0;
    int32_t m_lngTimerTicks = 0;
};
