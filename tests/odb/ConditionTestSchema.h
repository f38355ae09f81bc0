// A small real SQLite database (customers, workers, job orders with details and their two
// extensions, work steps, attendance, order lines, report layouts) and a resolver onto it.
#pragma once

#include <QString>
#include <QVariant>

#include <vector>

#include "odb/ConditionSchema.h"
#include "odb/ConditionSql.h"

struct sqlite3;

class ConditionTestSchema : public odb::ConditionSchema {
public:
    ConditionTestSchema();
    ~ConditionTestSchema() override;

    std::optional<odb::ConditionField> ResolveField(const QString& table, const QString& alias,
                                                    const QStringList& path,
                                                    odb::ConditionAliases& aliases) const override;
    std::optional<QString> ResolveTable(const QString& table) const override;

    // The row identities of `table` that `where` selects, in order of identity.
    std::vector<int64_t> Select(const QString& table, const QString& where);
    // The first column of every row of `sql` bound with `values`, as QVariant.
    std::vector<QVariant> Column(const QString& sql, const std::vector<odb::SqlValue>& values = {});
    sqlite3* db() const { return db_; }

private:
    struct Reference {
        QString name, target, display;
    };
    struct Table {
        QString name;
        QString base;   // the table this one extends, sharing the row identity
        QString owner;  // the container, linked through the column "Owner"
        std::vector<std::pair<QString, int32_t>> fields;
        std::vector<Reference> references;
    };

    const Table* table(const QString& name) const;
    std::optional<odb::ConditionField> hop(const QString& table, const QString& link, const QStringList& rest,
                                           odb::ConditionAliases& aliases) const;
    void exec(const char* sql);

    std::vector<Table> tables_;
    sqlite3* db_ = nullptr;
};
