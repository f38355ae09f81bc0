// A fixture for the main window: temporary settings and work folder holding a fresh database,
// the shared state back at its start values, a recording prompt, and the modal dialogs answered
// by a queue of scripted steps (pick a user, type a password, cancel...).
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

#include "mainwindow/frmMain.h"
#include "support/ModalScript.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

class QAction;

class MainWindowTest : public TempFolderTest {
  protected:
    using Step = std::function<void(QDialog&)>;

    void SetUp() override;
    void TearDown() override;

    // Puts a fresh database file (default rows only) into the work folder.
    void createDatabase();
    // A loaded main window, not yet activated.
    frmMain& load();
    // A main window activated through the picker as `user` with `password`: database open, user
    // logged in, tree and first view built.
    frmMain& start(const QString& user = QStringLiteral("Amministratore"), const QString& password = {});

    // Steps answering the next modal dialogs, in order; a dialog with no step left is cancelled.
    void expect(Step step) { steps_.push_back(std::move(step)); }
    static Step pickUser(const QString& name);
    static Step typePassword(const QString& password);
    // The password dialog in change mode: the new password, typed twice.
    static Step newPassword(const QString& password);
    static Step cancel();
    // The class names of the dialogs shown so far.
    QStringList dialogsShown;
    int stepsLeft() const { return static_cast<int>(steps_.size()); }

    // A menu item or toolbar action of the window by its name.
    QAction* action(const QString& name);
    // Selects the node of `index` as a click on it does.
    void click(int index);

    ScopedRecordingPrompt prompt;
    std::unique_ptr<frmMain> window;

  private:
    std::deque<Step> steps_;
    std::unique_ptr<ScopedModalScript> dialogs_;
};
