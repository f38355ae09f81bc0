// frmOptions: the options dialog, reduced to the work folder (chosen through the folder chooser).
// While it is open the main window is disabled and marked by its options flag.
#pragma once

#include <QString>

class QWidget;

class frmOptions {
  public:
    // Shows the dialog modally over the main window; True when closed with a confirmed OK.
    static bool ShowModal();
    // True only after OK saved the settings.
    bool Confirmed() const { return confirmed_; }

  private:
    void load();
    void unload();
    bool run();
    bool cmdOK(const QString& folder);
    bool confirmed_ = false;
};
