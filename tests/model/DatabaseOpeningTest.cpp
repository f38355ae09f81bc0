// Opening the program's database: every table found by position and name, derived tables, the
// default rows of a new file, a reopening that adds nothing, and the file itself.
#include <gtest/gtest.h>

#include <QSet>

#include <map>

#include <sqlite3.h>

#include "ModelDatabaseTest.h"
#include "base/AppError.h"
#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace {

class DatabaseOpening : public ModelDatabaseTest {
  protected:
    QStringList tableNames() {
        QStringList out;
        auto& tables = database->Tables();
        for (int i = 1; i <= tables.Count(); ++i)
            out << tables.Item(i).Name();
        return out;
    }
};

TEST_F(DatabaseOpening, EveryTableIsFoundByPositionAndName) {
    EXPECT_THROW(GetDBTable("TipiCommessa"), AppError);  // no open database
    open();
    const QStringList names = tableNames();
    ASSERT_GE(names.size(), 38);  // the program's tables, and any the library keeps for itself
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(&GetDBTable(i + 1), &database->Tables().Item(i + 1));
        EXPECT_EQ(&GetDBTable(names[i]), &database->Tables().Item(i + 1));
    }
    EXPECT_EQ(GetDBTable("tipicommessa").Name(), "TipiCommessa");
    EXPECT_THROW(GetDBTable("NessunaTabella"), AppError);
    EXPECT_THROW(GetDBTable(0), AppError);
    EXPECT_TRUE(GetDBTable("CommesseAssistenza").HasField("NumeroCommessa"));
    EXPECT_TRUE(GetDBTable("NecessitaPartCommerciale").HasField("DisponibilitàFinale"));
    EXPECT_FALSE(GetDBTable("MagazzinoPartCommerciale").HasField("NumeroCommessa"));
}

// A new file has the rows other tables point to, once, however often it is opened; nothing asked.
TEST_F(DatabaseOpening, DefaultRowsComeOnceWithoutQuestions) {
    open();
    const std::map<QString, int64_t> withRows = {
        {"TipiCommessa", 5},          {"TipiAssenza", 8}, {"TipiAssistenza", 1}, {"TipiCategoria", 1},
        {"DedirIdovuduvIrezadiv", 1}, {"Clienti", 1},     {"Operai", 1},         {"Utenti", 2}};
    for (int run = 0; run < 3; ++run) {
        for (const QString& name : tableNames()) {
            auto it = withRows.find(name);
            EXPECT_EQ(count(name), it == withRows.end() ? 0 : it->second) << name.toStdString() << run;
        }
        reopen();
    }
    // The default worker stands on the default category and task.
    auto worker = rows("Operai");
    worker->RowFirst();
    EXPECT_EQ(worker->GetReference("Categoria")->ColText("Descrizione"), "<indefinito>");
    EXPECT_EQ(worker->GetReference("Manzione")->ColText("Descrizione"), "<indefinito>");
    EXPECT_TRUE(notify.questions.isEmpty()) << notify.questions.join(" | ").toStdString();
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
}

TEST_F(DatabaseOpening, TheFileIsAPlainSqliteDatabase) {
    open();
    const QStringList names = tableNames();
    close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    QSet<QString> stored;
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &st, nullptr),
              SQLITE_OK);
    while (sqlite3_step(st) == SQLITE_ROW)
        stored.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))));
    sqlite3_finalize(st);
    for (const QString& name : names)
        EXPECT_TRUE(stored.contains(name)) << name.toStdString();
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
    sqlite3_finalize(st);
    sqlite3_close(db);
}

}  // namespace
