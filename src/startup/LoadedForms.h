// LoadedForms: the program's windows in the order they came up, so that the main window's unload
// road closes the most recent first and a timer can tell whether a window opened after its own is
// still up. Message boxes and dialogs count; popups and tooltips do not.
#pragma once

#include <QList>

class QWidget;

class LoadedForms {
  public:
    // Starts keeping the record (once; later calls do nothing). Windows shown before are not in it.
    static void Track();
    // The windows on screen, the first shown first.
    static QList<QWidget*> InOrder();
    // The most recently shown window still on screen; nullptr when none.
    static QWidget* Last();
};
