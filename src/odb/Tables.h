// Tables: the tables of an open database, in registration order, then the library's own
// connections table.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Variant.h"
#include "odb/ColumnNames.h"

namespace odb {

class Table;

class Tables {
  public:
    // By name (case-insensitive) or by 1-based position; error odbErrUnknownTable otherwise.
    Table& Item(const QString& name) const;
    Table& Item(int32_t position) const;
    Table& Item(const Variant& nameOrPosition) const;
    Table& Item(const char* name) const;
    bool Exists(const QString& name) const;
    int32_t Count() const;
    Table* find(const QString& name) const;

    // ---- library internals ----
    void add(std::shared_ptr<Table> table);
    void clear();
    const std::vector<std::shared_ptr<Table>>& items() const { return items_; }

  private:
    std::vector<std::shared_ptr<Table>> items_;
    // The first table of each name (in any spelling), found without hashing the name: tables are
    // looked up on every row a rule or an import writes.
    std::vector<QString> names_;
    std::vector<Table*> named_;
    ColumnNames positions_;  // positions in names_ and named_
};

}  // namespace odb
