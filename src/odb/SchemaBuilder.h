// SchemaBuilder: turns the program's definition into tables (validated), and brings the stored
// SQL tables up to it: the opening, creation, added columns and indexes, recorded versions.
#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

#include "odb/Interfaces.h"

namespace odb {

class Connection;
class Engine;
class IndexDef;
class Table;

class SchemaBuilder {
  public:
    SchemaBuilder(Engine& engine, Connection& connection) : engine_(engine), conn_(connection) {}

    // Opens `engine` on `connection` by its definition: the tables are built and checked, missing
    // ones created and stored ones upgraded (one transaction, taken only when something must
    // change), raising OnUpdatedTableStruct in registration order. On error or a stop from
    // `progress` the file is left as it was and the engine stays closed.
    static void open(Engine& engine, std::shared_ptr<Connection> connection, itfProgress* progress);
    // Opens `engine` on a file with no definition, from what the file records.
    static void attach(Engine& engine, std::shared_ptr<Connection> connection);

    // Runs Define and each table's definition operations; validates names, base tables and
    // reference targets; lays out the physical columns. Raises a library error on a bad definition.
    std::vector<std::shared_ptr<Table>> define(itfDefDatabase& definition);
    // Tables of a file opened without a definition, read from what the file records.
    std::vector<std::shared_ptr<Table>> readStored();

    // Stored versions by table name (lower case); empty when the file has no library tables.
    std::map<QString, double> storedVersions();
    bool hasLibraryTables();
    // What the opening must do for one table.
    struct Plan {
        Table* table = nullptr;
        bool create = false;
        bool upgrade = false;
        double oldVersion = 0;
    };
    std::vector<Plan> plan(const std::vector<std::shared_ptr<Table>>& tables);
    // Creates the library's own tables when missing (inside the write transaction).
    void ensureLibraryTables();
    void createTable(Table& table);
    void upgradeTable(Table& table);
    void ensureLinkTables(Table& table);
    void recordVersion(const Table& table);

    // Resolves base tables and reference targets, checks names along every chain, lays out the
    // physical columns. Raises a library error on an inconsistent definition.
    static void link(const std::vector<std::shared_ptr<Table>>& tables);
    static void layout(Table& table);
    bool tableExists(const QString& name);
    static QString sqlType(int32_t typeCode);
    static QString indexName(const Table& table, const QString& indexName, const QStringList& columns);

  private:
    QStringList storedColumns(const QString& table);
    QStringList storedIndexes(const QString& table);
    void createIndexes(Table& table, bool onlyMissing);
    // " WHERE ..." of an index kept for some rows only; empty for an index of every row.
    QString indexCondition(const Table& table, const IndexDef& index);

    Engine& engine_;
    Connection& conn_;
};

inline const QString kVersionsTable = QStringLiteral("_odbTables");
inline const QString kSettingsTable = QStringLiteral("_odbSettings");
// The link table of a collection that does not own its rows.
QString LinkTableName(const QString& ownerTable, const QString& referenceName);

}  // namespace odb
