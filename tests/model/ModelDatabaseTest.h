// A fixture that opens the program's database definition on a file of its own temporary folder,
// with a notification sink that records every message and question and answers them.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "odb/Interfaces.h"
#include "support/TestEnvironment.h"

namespace odb {
class Connection;
class DataSet;
class Database;
}  // namespace odb

// Records what the library shows; questions are answered OK unless told otherwise.
class RecordingNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t action, void* source, const QString& detail) override;
    void OnInternalMessage(void* source, const QString& detail) override;
    void OnQueryMessage(void* source, int32_t messageType, const QString& queryMessage,
                        bool& cancel) override;
    void OnReportRequest(odb::DataSet& source, int32_t func, const QString& title,
                         const QString& details) override;

    QStringList messages;   // internal messages and refusals
    QStringList questions;  // every question asked
    bool answerCancel = false;
    void clear() {
        messages.clear();
        questions.clear();
    }
};

class ModelDatabaseTest : public TempFolderTest {
  protected:
    void TearDown() override;

    QString databasePath() const;
    // Opens the database file (creating it when missing) with the program's definition, and makes
    // it the open database of the shared state.
    void open();
    void close();
    void reopen() {
        close();
        open();
    }
    // The rows of a table of the open database.
    std::shared_ptr<odb::DataSet> rows(const QString& table, const QString& where = {},
                                       const QString& order = {});
    int64_t count(const QString& table);
    // Runs SQL on the file outside the library (the database must be closed).
    void rawSql(const QString& sql);
    // The first column of the first row of a query on the file as stored, outside the library.
    QString storedText(const QString& sql);

    RecordingNotify notify;
    std::shared_ptr<odb::Connection> connection;
    std::shared_ptr<odb::Database> database;
};
