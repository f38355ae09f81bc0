// The options dialog's work-folder road.
#include "startup/frmOptions.h"

#include <QString>
#include <QWidget>

#include "platform/Prompt.h"
#include "startup/Configuration.h"
#include "startup/MainWindowServices.h"
#include "startup/SharedState.h"

bool frmOptions::ShowModal() {
    frmOptions dialog;
    dialog.load();
    const bool ok = dialog.run();
    dialog.unload();
    return ok && dialog.Confirmed();
}

void frmOptions::load() {
    confirmed_ = false;
    if (auto* main = MainWindowServices::instance()) {
        main->SetOptionsActive(true);
        if (main->Widget()) main->Widget()->setEnabled(false);
    }
}

void frmOptions::unload() {
    if (auto* main = MainWindowServices::instance()) {
        main->SetOptionsActive(false);
        if (main->Widget()) main->Widget()->setEnabled(true);
    }
}

bool frmOptions::run() {
    QWidget* owner = MainWindowServices::instance() ? MainWindowServices::instance()->Widget() : nullptr;
    for (;;) {
        const QString folder =
            Prompt::instance().folder(QStringLiteral("Selezione indirizzario"), g_strRootDir, owner);
        if (folder.isEmpty()) return false;  // cancel: nothing saved
        if (cmdOK(folder)) return true;
        // A refused change leaves the dialog open.
    }
}

bool frmOptions::cmdOK(const QString& folder) {
    using namespace MsgBoxStyle;
    if (folder.compare(g_strRootDir, Qt::CaseInsensitive) != 0) {
        if (Prompt::instance().msgBox(QStringLiteral("L'indirizzario di lavoro e' cambiato.\r\rConfermi ?"),
                                      vbYesNo | vbQuestion) != MsgResult::Yes)
            return false;
        g_strRootDir = folder;
        if (auto* main = MainWindowServices::instance()) main->ReleaseDatabase();
    }
    SaveConfiguration();
    confirmed_ = true;
    return true;
}
