// The program's end from inside an operation.
#include "startup/EndProgram.h"

#include <QApplication>
#include <QWidget>

#include "startup/MainWindowServices.h"

namespace {
bool& ending() {
    static bool e = false;
    return e;
}
}  // namespace

void EndProgram() {
    ending() = true;
    // The main window's unload closes the other windows first and then ends the program.
    if (MainWindowServices* main = MainWindowServices::instance()) {
        main->Unload();
        return;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if ((*it)->isVisible()) (*it)->close();
    QCoreApplication::quit();
}

bool ProgramEnding() {
    return ending();
}

void ResetProgramEnding() {
    ending() = false;
}
