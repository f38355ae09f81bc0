// Engine: what every object of one open database shares: the connection, the tables, the row store
// and the running operation.
#pragma once

#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/Object.h"
#include "odb/Interfaces.h"
#include "odb/Operation.h"
#include "odb/ProbeCache.h"
#include "odb/RowStore.h"
#include "odb/Tables.h"

namespace odb {

class Connection;
class Database;
class Table;
struct SqlFragment;

class Engine {
  public:
    Engine(Database& database, std::shared_ptr<itfDefDatabase> definition, const QString& applicationName,
           itfNotifyEvent* notify);
    ~Engine();

    Database& database() const { return database_; }
    itfDefDatabase* definition() const { return definition_.get(); }
    bool isOpen() const { return open_; }
    Connection& conn() const;  // error when not open
    const std::shared_ptr<Connection>& connection() const { return connection_; }
    odb::Tables& tables() { return tables_; }
    const odb::Tables& tables() const { return tables_; }
    itfNotifyEvent* notify() const { return notify_; }
    const QString& applicationName() const { return applicationName_; }
    Table& table(const QString& name) const;  // error when unknown
    Table* findTable(const QString& name) const;

    RowStore& rows() { return rows_; }
    Operation& operation() { return operation_; }
    const Operation& operation() const { return operation_; }

    int32_t userLevel() const { return userLevel_; }
    void setUserLevel(int32_t level) { userLevel_ = level; }
    std::shared_ptr<Object> service() const { return service_; }
    void setService(std::shared_ptr<Object> service) { service_ = std::move(service); }

    // Translated where-texts and orders, by table and text: the schema does not change while open.
    QHash<QString, std::shared_ptr<const SqlFragment>>& translations() { return translations_; }
    // The translations met last, found without building their key: rules set the same order on
    // every data set they open.
    struct RecentTranslation {
        const Table* table = nullptr;
        bool order = false;
        QString fields, text;
        std::shared_ptr<const SqlFragment> fragment;
    };
    static constexpr size_t kRecentTranslations = 8;
    std::array<RecentTranslation, kRecentTranslations>& recentTranslations() { return recentTranslations_; }
    size_t& nextRecentTranslation() { return nextRecentTranslation_; }
    // An owned row's owner label ("Table.Reference") as found: every save of an owned row asks it.
    struct OwnerLabel {
        QString label;
        const Table* table = nullptr;
        const ReferenceDef* reference = nullptr;
    };
    std::vector<OwnerLabel>& ownerLabels() { return ownerLabels_; }
    // The existence probes' statements, by shape.
    ProbeCache& probes() { return probes_; }

    // ---- opening (SchemaBuilder) ----
    // Closed, on `connection`, with no tables, rows or translations.
    void reset(std::shared_ptr<Connection> connection);
    void addTables(const std::vector<std::shared_ptr<Table>>& tables);
    void setOpen(bool open) { open_ = open; }

  private:
    Database& database_;
    std::shared_ptr<itfDefDatabase> definition_;
    QString applicationName_;
    itfNotifyEvent* notify_;
    std::shared_ptr<Connection> connection_;
    odb::Tables tables_;
    bool open_ = false;
    int32_t userLevel_ = 0;
    std::shared_ptr<Object> service_;
    QHash<QString, std::shared_ptr<const SqlFragment>> translations_;
    std::array<RecentTranslation, kRecentTranslations> recentTranslations_;
    size_t nextRecentTranslation_ = 0;
    std::vector<OwnerLabel> ownerLabels_;
    ProbeCache probes_;
    RowStore rows_{*this};
    Operation operation_{*this};
};

}  // namespace odb
