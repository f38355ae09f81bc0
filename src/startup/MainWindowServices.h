// What start-up and its dialogs need of the main window, which lives in a higher layer: the owner
// widget, the library's event sink, the options flag and the release of the database.
#pragma once

namespace odb {
class itfNotifyEvent;
}
class QWidget;

class MainWindowServices {
  public:
    virtual ~MainWindowServices() = default;
    virtual QWidget* Widget() = 0;
    virtual odb::itfNotifyEvent* NotifySink() = 0;
    // True while the options dialog is open: activation then does nothing.
    virtual void SetOptionsActive(bool active) = 0;
    virtual bool OptionsActive() const = 0;
    // Unbinds the grid, drops the current data set and closes the database.
    virtual void ReleaseDatabase() = 0;
    // Unloads every other window, the most recent first, then itself: the program ends.
    virtual void Unload() {}
    // Shows the window again as it was before it was hidden or minimised, in front (a second start).
    virtual void BringForward() {}

    // The loaded main window, or none.
    static MainWindowServices* instance();
    static void setInstance(MainWindowServices* mainWindow);
};
