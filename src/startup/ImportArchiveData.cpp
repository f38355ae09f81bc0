// The archive import.
#include "startup/ImportArchiveData.h"

#include <QFile>

#include <sys/stat.h>

#include <exception>

#include "base/AppError.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/LibraryError.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/Prompt.h"
#include "startup/MainWindowServices.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmMessage.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QString kFailed = QStringLiteral("Impossibile importare i dati");

// The archive, open for the length of the call and closed on every way out.
struct Archive {
    std::shared_ptr<odb::Connection> connection = std::make_shared<odb::Connection>();
    std::shared_ptr<odb::DataSet> rows;
    ~Archive() {
        try {
            if (rows) rows->CloseData();
            connection->CloseConnection();
        } catch (...) {
        }
    }
};

// One file whatever the names: a hard link or a second mount of the work folder names the same
// device and inode under another path.
bool SameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

MsgResult Ask(const QString& text) {
    return Prompt::instance().msgBox(text, MsgBoxStyle::vbYesNo | MsgBoxStyle::vbQuestion, g_strMsgBoxTitle);
}

}  // namespace

bool ImportArchiveData(const QString& archiveFile, const std::shared_ptr<odb::DataSet>& dataSet,
                       QWidget* owner) {
    using namespace MsgBoxStyle;
    MainWindowServices* main = MainWindowServices::instance();
    QWidget* mainWindow = main && main->Widget() ? main->Widget() : owner;
    odb::itfNotifyEvent* sink = dynamic_cast<odb::itfNotifyEvent*>(owner);
    if (!sink && main) sink = main->NotifySink();

    Archive archive;
    std::shared_ptr<odb::Connection> target;
    bool transaction = false;
    try {
        target = dataSet->GetConnection();
        // Importing the open database into itself would only double its rows.
        if (SameFile(archiveFile, target->Path())) {
            Prompt::instance().msgBox(
                QStringLiteral("L'archivio selezionato è il database in uso: scegliere un altro archivio."),
                vbExclamation, g_strMsgBoxTitle);
            return false;
        }
        archive.connection->OpenDatabaseFile(archiveFile);
        frmMessage::instance().ShowMsg(QStringLiteral("Analisi dei dati..."), owner, -1, -1);
        auto archiveDb = odb::DbmsGlobal::AttachDatabase(archive.connection, sink, QString());
        const odb::Table& table = dataSet->GetTable();
        const QString caption = table.Caption();
        if (!archiveDb->Tables().Exists(table.Name())) {
            Prompt::instance().msgBox(QStringLiteral("L'archivio selezionato non contiene dati < ") +
                                          caption + QStringLiteral(" > da importare!"),
                                      vbOKOnly, g_strMsgBoxTitle);
            frmMessage::Unload();
            return false;
        }
        archive.rows = archiveDb->Tables().Item(table.Name()).OpenData();
        if (archive.rows->DataEmpty()) {
            Prompt::instance().msgBox(QStringLiteral("L'archivio non contiene dati da importare"),
                                      vbInformation, g_strMsgBoxTitle);
            frmMessage::Unload();
            return false;
        }
        if (Ask(QStringLiteral("Vuoi visualizzare i dati che verranno importati ?")) == MsgResult::Yes)
            odb::DataPanelTools::CreatePanel(archive.rows)->SelectRow(caption, owner);
        if (Ask(QStringLiteral("Confermi l'importazione ?")) != MsgResult::Yes) {
            frmMessage::Unload();
            return false;
        }

        frmMessage::instance().ShowMsg(
            QStringLiteral("Importazione <") + caption + QStringLiteral(" > in corso..."), mainWindow, -1,
            -1);
        target->BeginTrans();
        transaction = true;
        const int32_t total = archive.rows->RowCount();
        const int32_t copied = archive.rows->ImportRows(*dataSet, &frmMessage::instance());
        if (copied < 0) {
            // A rule refused a row (its message was shown) or the user stopped: nothing is kept.
            throw AppError(
                vbObjectError + odb::odbErrRefused, QString::fromLatin1(kProductName),
                frmMessage::instance().Stopped()
                    ? QStringLiteral("Importazione interrotta: nessun dato è stato importato.")
                    : QStringLiteral("Una riga è stata rifiutata: nessun dato è stato importato."));
        }
        target->CommitTrans();
        transaction = false;
        frmMessage::Unload();
        // Told only once the rows are stored.
        QString done = QStringLiteral("OPERAZIONE COMPLETATA.\r\rRighe importate: %1").arg(copied);
        if (copied < total)
            done += QStringLiteral(" su %1 (le altre sono già presenti nell'archivio corrente)").arg(total);
        Prompt::instance().msgBox(done, vbInformation, g_strMsgBoxTitle);
        return true;
    } catch (const AppError& e) {
        if (odb::LibraryError::Is(e, odb::odbErrUnresolvedReference)) {
            // The row and its reference say all: no details to look at.
            frmMessage::Unload();
            if (transaction) {
                try {
                    target->RollbackTrans();
                } catch (...) {
                }
            }
            Prompt::instance().msgBox(e.description() + QStringLiteral("\r\rNessun dato è stato importato."),
                                      vbExclamation, g_strMsgBoxTitle);
            return false;
        }
        SetCurrentError(e);
    } catch (const std::exception& e) {
        SetCurrentError(AppError(vbObjectError + odb::odbErrGeneral, QString::fromLatin1(kProductName),
                                 ErrorDescription(e)));
    }
    frmMessage::Unload();
    if (transaction) {
        try {
            target->RollbackTrans();
        } catch (...) {
        }
    }
    ShowErrorDetails(kFailed);
    return false;
}
