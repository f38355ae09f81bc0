// The data sources a report profile can belong to: tables, "Table.Reference" paths, and all the
// offered references of a table at once.
#pragma once

#include <QString>

#include <vector>

namespace odb {
class Tables;
}

// The reference part of a profile that prints every offered reference of its table.
extern const QString kAllReferencesName;

struct ReportSource {
    QString item;     // "Table", "Table.Reference" or "Table.[ tutti i riferimenti ]"
    QString caption;  // as the list shows it: the table's title, then "." and the reference's caption
};

// The sources offered for `onlyList` (comma-separated table names and "Table.Reference" paths, letter
// case ignored; empty: every listed table), in the database's order. With `includeReferences` every
// detail reference of a named table is offered too.
std::vector<ReportSource> ReportSourceList(const odb::Tables& tables, const QString& onlyList,
                                           bool includeReferences);
// The table part of a source item (all of it without "."), and the reference part (empty without ".").
QString SourceTableName(const QString& item);
QString SourceReferenceName(const QString& item);
