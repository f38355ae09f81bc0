// Database files for the repair tests.
#include "DatabaseFileUtil.h"

#include <QFile>

#include <sqlite3.h>

#include "base/Currency.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"

void FillDatabase(const QString& path, int rows) {
    auto connection = std::make_shared<odb::Connection>();
    connection->CreateDatabaseFile(path);
    connection->OpenDatabaseFile(path);
    auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "ZeltoLavrix", nullptr);
    database->Open(connection);
    auto types = database->Tables().Item("TipiAssistenza").OpenData();
    connection->BeginTrans();
    for (int i = 1; i <= rows; ++i)
        types->AddRow({"Descrizione", QString("Intervento %1 ").arg(i) + QString(40, QChar(u'x')),
                       "PrezzoOrario", Currency::fromLong(i)});
    connection->CommitTrans();
    connection->Execute("DELETE FROM TipiAssistenza WHERE OID % 3 = 0");
    connection->CloseConnection();
}

QString Query(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    QString out = QStringLiteral("<error>");
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
        SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

QString Snapshot(const QString& path) {
    return Query(
        path,
        "SELECT count(*) || '|' || group_concat(r, ',') FROM (SELECT OID || ':' || Descrizione || ':' || "
        "PrezzoOrario AS r FROM TipiAssistenza ORDER BY OID)");
}
