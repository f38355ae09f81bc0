// frmMain: the main window, so far its start-up side: activation opens the database and reads the
// working hours, closing hides it to the tray (or minimises it), "Chiudi" unloads it and ends the
// program, and it receives the library's notifications.
#pragma once

#include <QMainWindow>

#include <memory>

#include "odb/Interfaces.h"
#include "startup/MainWindowServices.h"

class QAction;
class QLabel;
class QMenu;
class QTableView;
class clsOSTNA;

class frmMain : public QMainWindow, public MainWindowServices, public odb::itfNotifyEvent {
    Q_OBJECT
  public:
    // Loading: placement, tray icon, title. The database is not touched.
    frmMain();
    ~frmMain() override;

    // MainWindowServices
    QWidget* Widget() override { return this; }
    odb::itfNotifyEvent* NotifySink() override { return this; }
    void SetOptionsActive(bool active) override { optionsActive_ = active; }
    bool OptionsActive() const override { return optionsActive_; }
    void ReleaseDatabase() override;

    // itfNotifyEvent
    void OnEvent(int32_t action, void* source, const QString& detail) override;
    void OnInternalMessage(void* source, const QString& detail) override;
    void OnQueryMessage(void* source, int32_t messageType, const QString& queryMessage,
                        bool& cancel) override;
    void OnReportRequest(odb::DataSet& source, int32_t func, const QString& title,
                         const QString& details) override;

    // Runs at every activation: opens the database when it is closed.
    void Form_Activate();
    // The unload road: closing message, placement, tray icon, other windows, database, message window.
    void Unload() override;
    bool isUnloaded() const { return unloaded_; }

    void SetAppTitle();
    void SetStatusMsg(const QString& msg);
    QString statusText() const;
    // The tray icon's mouse messages (coded mouse X, see clsOSTNA).
    void txtTNAInterface_MouseMove(float x);
    QMenu* trayMenu() const { return mnuPopUp_; }
    QAction* mnuToolsOptions() const { return mnuToolsOptions_; }

  signals:
    // Emitted once the window has unloaded: the program ends.
    void unloaded();

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void readWorkingHours();
    void restorePlacement();
    void savePlacement();
    void showFromTray();

    QTableView* dgView_ = nullptr;
    QLabel* sbStatus_ = nullptr;
    QMenu* mnuPopUp_ = nullptr;
    QAction* mnuToolsOptions_ = nullptr;
    std::unique_ptr<clsOSTNA> tray_;
    bool optionsActive_ = false;
    bool activating_ = false;
    bool unloading_ = false;
    bool unloaded_ = false;
};
