// The database opening road.
#include "startup/DatabaseOpening.h"

#include <exception>

#include "base/AppError.h"
#include "base/TextUtil.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/ConnectionNotices.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/LibraryClock.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/modOSWinUtil.h"
#include "startup/DatabaseService.h"
#include "startup/EndProgram.h"
#include "startup/MainWindowServices.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"

namespace {

std::function<void(const QString&)>& updateCheck() {
    static std::function<void(const QString&)> c;
    return c;
}

constexpr int32_t kDatabaseType = 3;

}  // namespace

void SetStartupUpdateCheck(std::function<void(const QString&)> check) {
    updateCheck() = std::move(check);
}

bool OpenDatabase() {
    MainWindowServices* main = MainWindowServices::instance();
    QWidget* owner = main ? main->Widget() : nullptr;
    QString description;
    try {
        frmMessage::instance().ShowMsg(QStringLiteral("Inizializzazione del database..."), owner, -1, -1);
        QString path = BuildPath(g_strRootDir, kDatabaseFileName, QString());
        if (!FileExists(path)) {
            // The message window stays for the main window's unload to close.
            if (!frmOptions::ShowModal()) return false;
            path = BuildPath(g_strRootDir, kDatabaseFileName, QString());
        }
        if (!g_strRootDir.isEmpty() && updateCheck()) {
            try {
                updateCheck()(g_strRootDir);
            } catch (...) {
                // A failed update check never stops the opening.
            }
            // A started update ends the program: the database stays closed.
            if (ProgramEnding()) {
                frmMessage::Unload();
                return false;
            }
        }
        g_intDatabaseType = kDatabaseType;
        // The login time the library stamps is the program's time.
        odb::LibraryClock::Set(&Clock::now);
        g_objConnection = std::make_shared<odb::Connection>();
        if (!FileExists(path)) g_objConnection->CreateDatabaseFile(path);
        g_objConnection->OpenDatabaseFile(path);
        g_objDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName,
                                                        main ? main->NotifySink() : nullptr);
        g_objDatabase->Open(g_objConnection, -1, 0, 0, 0, &frmMessage::instance());
        g_objDatabase->SetService(std::make_shared<DatabaseService>());
        frmMessage::Unload();
        return true;
    } catch (const AppError& e) {
        description = e.description();
    } catch (const std::exception& e) {
        description = ErrorDescription(e);
    }
    // Nothing half set stays: the connection closed, both objects gone, so that the next
    // activation opens from the start.
    if (g_objConnection) g_objConnection->CloseConnection();
    g_objDatabase.reset();
    g_objConnection.reset();
    Prompt::instance().msgBox(QStringLiteral("Inizializzazione database fallita: \r\r") + description,
                              MsgBoxStyle::vbCritical);
    frmMessage::Unload();
    return false;
}

bool IsDatabaseOpen() {
    return g_objConnection && g_objDatabase && g_objDatabase->State() == odb::kDatabaseStateOpen;
}

void OnDatabaseRelease(QObject* context, std::function<void()> released) {
    QObject::connect(&odb::ConnectionNotices::instance(), &odb::ConnectionNotices::closing, context,
                     [released = std::move(released)](const odb::Connection* connection) {
                         if (connection && connection == g_objConnection.get()) released();
                     });
}
