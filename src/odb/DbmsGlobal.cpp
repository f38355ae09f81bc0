// The library's global entry points and event texts.
#include "odb/DbmsGlobal.h"

#include <QHash>
#include <QSysInfo>

#include "base/VariantOps.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/Engine.h"
#include "odb/SchemaBuilder.h"

namespace odb {

namespace {
QHash<QString, QString>& documentFolders() {
    static QHash<QString, QString> folders;
    return folders;
}
}  // namespace

std::shared_ptr<Database> DbmsGlobal::CreateDatabase(std::shared_ptr<itfDefDatabase> definition,
                                                     const QString& applicationName, itfNotifyEvent* notify) {
    if (!definition) LibraryError::Raise(odbErrBadDefinition);
    return std::make_shared<Database>(std::move(definition), applicationName, notify);
}

std::shared_ptr<Database> DbmsGlobal::AttachDatabase(std::shared_ptr<Connection> connection,
                                                     itfNotifyEvent* notify, const QString& applicationName) {
    if (!connection || !connection->IsOpen()) LibraryError::Raise(odbErrNotOpen);
    auto db = std::make_shared<Database>(nullptr, applicationName, notify);
    SchemaBuilder::attach(db->engine(), connection);
    return db;
}

QString DbmsGlobal::EventText(int32_t action, int32_t) {
    switch (action) {
        case odbEvtOpenDatabase:
            return QStringLiteral("Apertura del database");
        case odbEvtCreateTable:
            return QStringLiteral("Creazione della tabella");
        case odbEvtUpgradeTable:
            return QStringLiteral("Aggiornamento della tabella");
        case odbEvtDefaultData:
            return QStringLiteral("Inserimento dei dati iniziali");
        case odbEvtImportRows:
            return QStringLiteral("Importazione dei dati");
        case odbEvtDeleteRows:
            return QStringLiteral("Eliminazione dei dati");
        case odbEvtExportHtml:
        case odbEvtExportRows:
            return QStringLiteral("Esportazione dei dati");
        case odbEvtRequery:
            return QStringLiteral("Rilettura dei dati");
        default:
            return QString();
    }
}

QString DbmsGlobal::ComputerName() {
    QString name = QSysInfo::machineHostName();
    if (name.isEmpty()) name = qEnvironmentVariable("HOSTNAME");
    return name.toUpper();
}

bool DbmsGlobal::ValuesEqual(const Variant& a, const Variant& b) {
    return ::ValuesEqual(a, b);
}

int32_t DbmsGlobal::CompareBookmarks(const Variant& a, const Variant& b) {
    if (a.isEmptyOrNull() || b.isEmptyOrNull()) return a.isEmptyOrNull() && b.isEmptyOrNull() ? 0 : 1;
    const double x = a.toDouble(), y = b.toDouble();
    return x == y ? 0 : (x < y ? -1 : 1);
}

void DbmsGlobal::SetDocumentFolder(const QString& applicationName, const QString& folder) {
    documentFolders().insert(applicationName.toLower(), folder);
}

QString DbmsGlobal::DocumentFolder(const QString& applicationName) {
    return documentFolders().value(applicationName.toLower());
}

}  // namespace odb
