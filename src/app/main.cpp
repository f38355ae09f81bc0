// The program's entry: Italian settings, then the start-up road; the program ends when the main
// window unloads.
#include "mainwindow/frmMain.h"
#include "platform/GuardedApplication.h"
#include "platform/ItalianLocale.h"
#include "startup/ShowErrorDetails.h"
#include "startup/SingleInstance.h"
#include "startup/SoftwareUpdate.h"
#include "startup/StartupMain.h"
#include "startup/StartupPassword.h"
#include "startup/frmPassword.h"

int main(int argc, char* argv[]) {
    GuardedApplication app(argc, argv);
    // A failure no handler took is told as any other, and the program goes on.
    InstallEscapedErrorDetails();
    QApplication::setApplicationName(QStringLiteral("ZeltoLavrix"));
    QApplication::setApplicationVersion(QStringLiteral(ZL_VERSION));
    // Closing the main window only hides it: the program ends through its unload.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallItalianLocale(app);

    // Local update packages are looked for each time the database opens.
    InstallStartupUpdateCheck();
    SetStartupPasswordCheck(&frmPassword::StartupCheck);

    SingleInstance instance;
    frmMain* mainWindow = nullptr;
    QWidget* shown = Main(instance, [&]() -> QWidget* {
        mainWindow = new frmMain();
        QObject::connect(mainWindow, &frmMain::unloaded, &app, &QApplication::quit, Qt::QueuedConnection);
        return mainWindow;
    });
    if (!shown) return 0;
    const int rc = app.exec();
    delete mainWindow;
    return rc;
}
