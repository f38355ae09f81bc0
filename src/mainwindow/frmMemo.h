// frmMemo ("Promemoria"): the reminder engine and its list. Loaded hidden for "Amministratore",
// its timer scans the reminder rules once a minute and lists the open reminders that are due;
// when something new is due it beeps, shows the main window's reminder indicator and offers to
// show the list. The list's commands postpone, close or open the ticked reminders, then run the
// tick. A tick never starts while another tick or a command (its boxes and windows included) is
// still running.
#pragma once

#include <QWidget>

#include <vector>

#include "base/Variant.h"

class QComboBox;
class QListWidget;
class QPushButton;
class QTimer;
class frmMain;

class frmMemo : public QWidget {
    Q_OBJECT
  public:
    // The load: builds the window, hidden, and starts the timer.
    explicit frmMemo(frmMain& main);

    void tmrMemo_Timer();
    // The next tick a full minute away.
    void RestartMemoTimer();
    // Loading the window again: a timer stopped while the database was closed starts again.
    void Reload();
    void cmdPostpone_Click();
    void cmdDelete_Click();
    void cmdEdit_Click();
    void cmdClose_Click();
    // Shows the list in front; the first time centred on the main window, then where it was left.
    void ShowList();

    QTimer* tmrMemo() const { return tmrMemo_; }
    QListWidget* lstMemo() const { return lstMemo_; }
    QComboBox* cmbTimeReminder() const { return cmbTimeReminder_; }
    // The bookmark a line of the list carries.
    Variant LineBookmark(int line) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void runTick();
    void tick();
    void PrepareReminderTables();
    // The bookmarks of the ticked lines (and of the current one with `withCurrent`).
    std::vector<Variant> chosen(bool withCurrent) const;
    QString lineText(const Variant& bookmark) const;
    void hideList();

    frmMain& main_;
    QTimer* tmrMemo_ = nullptr;
    QListWidget* lstMemo_ = nullptr;
    QComboBox* cmbTimeReminder_ = nullptr;
    QPushButton* cmdPostpone_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdEdit_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    bool prepared_ = false;
    bool busy_ = false;
    bool placed_ = false;
};
