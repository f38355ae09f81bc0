// Main: the start-up road from the single-instance rule to the shown main window.
#pragma once

#include <functional>

class QWidget;
class SingleInstance;

// Refuses a second instance (with its message), shows the splash, reads the configuration, asks
// the start-up password, loads the main window with `loadMainWindow`, closes the splash and shows
// the main window. Returns the main window, or none when the program must end at once.
QWidget* Main(SingleInstance& instance, const std::function<QWidget*()>& loadMainWindow);
