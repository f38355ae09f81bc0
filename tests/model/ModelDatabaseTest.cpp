// The fixture on an opened database.
#include "ModelDatabaseTest.h"

#include <QFile>

#include <sqlite3.h>

#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"

void RecordingNotify::OnEvent(int32_t, void*, const QString&) {}

void RecordingNotify::OnInternalMessage(void*, const QString& detail) {
    messages << detail;
}

void RecordingNotify::OnQueryMessage(void*, int32_t, const QString& queryMessage, bool& cancel) {
    questions << queryMessage;
    cancel = answerCancel;
}

void RecordingNotify::OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) {}

void ModelDatabaseTest::TearDown() {
    close();
    TempFolderTest::TearDown();
}

QString ModelDatabaseTest::databasePath() const {
    return path("ZeltoLavrix.mdb");
}

void ModelDatabaseTest::open() {
    connection = std::make_shared<odb::Connection>();
    if (!QFile::exists(databasePath())) connection->CreateDatabaseFile(databasePath());
    connection->OpenDatabaseFile(databasePath());
    database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &notify);
    database->Open(connection);
    g_objConnection = connection;
    g_objDatabase = database;
}

void ModelDatabaseTest::close() {
    g_objDatabase.reset();
    g_objConnection.reset();
    database.reset();
    if (connection) connection->CloseConnection();
    connection.reset();
}

std::shared_ptr<odb::DataSet> ModelDatabaseTest::rows(const QString& table, const QString& where,
                                                      const QString& order) {
    return database->Tables().Item(table).OpenData(where, order);
}

int64_t ModelDatabaseTest::count(const QString& table) {
    return rows(table)->RowCount();
}

void ModelDatabaseTest::rawSql(const QString& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString text = error ? QString::fromUtf8(error) : QString();
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << sql.toStdString() << ": " << text.toStdString();
}

QString ModelDatabaseTest::storedText(const QString& sql) {
    sqlite3* db = nullptr;
    QString out;
    if (sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}
