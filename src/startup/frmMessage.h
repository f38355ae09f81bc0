// frmMessage: the one window that tells the user a long operation is running: a text, an animated
// hourglass, an optional progress bar with a count or percentage and an optional stop button. It
// keeps its parent window disabled while it is up (the window, not its controls: see DisabledOwner)
// and is the library's progress sink.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <vector>

#include "odb/Interfaces.h"
#include "startup/DisabledOwner.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class frmMessage : public QDialog, public odb::itfProgress {
    Q_OBJECT
  public:
    // The process's one instance (created on first use; loading happens on ShowMsg or StartProgress).
    static frmMessage& instance();
    static bool isLoaded();
    // Unloads the window: gives the parent back its Enabled state and the focus, and hides.
    static void Unload();

    // Shows the message over `parent`; a position of -1 (twips) leaves the window where it is.
    void ShowMsg(const QString& msg, QWidget* parent, int32_t top = -1, int32_t left = -1);
    void EndProgress();
    // Advances the bar (a count sets it, 0 adds one); True to go on, False once a stop was confirmed.
    bool Progress(int32_t count = 0, bool noCount = false);
    void StartProgress(int32_t total, bool enableStop = false);
    int32_t MaxProgress() const;
    bool Stopped() const { return stopped_; }

    // itfProgress, for the library.
    void OnStart(int32_t action, int32_t total) override;
    bool OnProgress(int32_t action, int32_t total, int32_t count, odb::DataSet* source,
                    odb::DataSet* destination) override;
    bool OnStopped() override;
    void OnEnd(int32_t action, int32_t total) override;

    // The stop button (and Esc): asks, then sets the stop flag; a second confirmed stop unloads.
    void cmdStop_Click();

    // What the window shows, for tests and callers that need it.
    QString messageText() const;
    QString countText() const;
    bool progressVisible() const;
    bool stopVisible() const;
    int32_t progressValue() const;
    int hourglassFrame() const { return frame_; }
    QWidget* parentWindow() const { return parent_; }

  protected:
    void reject() override;  // Esc
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    frmMessage();
    void load();
    void unload();
    void RestoreParent();
    void disableParent();
    void stepHourglass();
    void setProgressVisible(bool visible);
    // Lets the window system put the window on the screen before the caller goes on.
    void waitUntilOnScreen();

    QLabel* lblMessage_ = nullptr;
    QLabel* imgHourglass_ = nullptr;
    QFrame* shpNotify_ = nullptr;
    QProgressBar* pbNotify_ = nullptr;
    QLabel* lblCount_ = nullptr;
    QPushButton* cmdStop_ = nullptr;
    QTimer* tmHourglass_ = nullptr;
    std::vector<QPixmap> imgMsg_;

    QPointer<QWidget> parent_;
    DisabledOwner disabledParent_;  // the parent kept disabled while the window is up
    bool hasParent_ = false;
    bool parentEnabled_ = true;
    bool stopped_ = false;
    int16_t frame_ = 1;
    bool loaded_ = false;
    bool everShown_ = false;
    QElapsedTimer eventsTimer_;  // since events last ran in Progress
};
