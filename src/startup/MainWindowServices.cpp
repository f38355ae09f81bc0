// The one main window of the process, as start-up sees it.
#include "startup/MainWindowServices.h"

namespace {
MainWindowServices*& current() {
    static MainWindowServices* m = nullptr;
    return m;
}
}  // namespace

MainWindowServices* MainWindowServices::instance() {
    return current();
}
void MainWindowServices::setInstance(MainWindowServices* mainWindow) {
    current() = mainWindow;
}
