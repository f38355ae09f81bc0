// StorageSchema: answers the condition translator from the stored layout: plain names, names of
// base fields, dotted paths to containers, derived extensions, referenced tables and reference
// targets, and reference names compared with the referenced row's display value.
#pragma once

#include "odb/condition/ConditionSchema.h"

namespace odb {

class Engine;
class Table;

class StorageSchema : public ConditionSchema {
  public:
    explicit StorageSchema(const Engine& engine) : engine_(engine) {}

    std::optional<ConditionField> ResolveField(const QString& table, const QString& alias,
                                               const QStringList& path,
                                               ConditionAliases& aliases) const override;
    std::optional<QString> ResolveTable(const QString& table) const override;

  private:
    std::optional<ConditionField> resolve(const Table& t, const QString& alias, const QStringList& path,
                                          ConditionAliases& aliases, int depth) const;
    // `path` on the row of `target` whose identity is `oidExpr`: a correlated sub-select, or a column
    // of a join while `aliases` joins.
    std::optional<ConditionField> through(const Table& target, const QString& oidExpr,
                                          const QString& extraWhere, const QStringList& path,
                                          ConditionAliases& aliases, int depth) const;

    const Engine& engine_;
};

}  // namespace odb
