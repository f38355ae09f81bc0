// The program's start-up road.
#include "startup/StartupMain.h"

#include <QCoreApplication>
#include <QWidget>

#include <memory>

#include "platform/Prompt.h"
#include "startup/Configuration.h"
#include "startup/MainWindowServices.h"
#include "startup/SharedState.h"
#include "startup/SingleInstance.h"
#include "startup/StartupPassword.h"
#include "startup/frmSplash.h"

QWidget* Main(SingleInstance& instance, const std::function<QWidget*()>& loadMainWindow) {
    if (!instance.acquire()) {
        // The running copy comes forward, wherever its window was hidden or minimised.
        instance.askRunningToComeForward();
        Prompt::instance().msgBox(QStringLiteral("L'applicazione e' stata gia' avviata\r\r"
                                                 "Controlla la barra dei menu' per la riattivazione premendo "
                                                 "doppio click sull'icona corrispondente..."),
                                  MsgBoxStyle::vbInformation | MsgBoxStyle::vbOKOnly, kAppSettingsName);
        return nullptr;
    }
    instance.listen([] {
        if (MainWindowServices* main = MainWindowServices::instance()) main->BringForward();
    });
    auto splash = std::make_unique<frmSplash>();
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();

    InstallSettingsFaultMessages();
    ReadConfiguration();
    if (!CheckStartupPassword(splash.get())) return nullptr;

    QWidget* mainWindow = loadMainWindow();
    splash.reset();
    if (mainWindow) mainWindow->show();
    return mainWindow;
}
