// ViewColumns: the columns a view of a table shows, as field definitions: stored fields as the
// table defines them, lookups by their target's display value, paths and computed columns.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace odb {

struct FieldDef;
class Table;

// The column `name` of a view on `table`: a field of its chain as defined; a lookup as a column of
// its own showing the target's first display field (its type, format and value list); any other
// name the where-texts resolve ("CommesseCliente.Cliente") as a computed column of the type they
// give. Null when the where-texts do not know the name.
std::shared_ptr<const FieldDef> ViewColumnDef(const Table& table, const QString& name);

// The table's default columns: its browse columns (collections left out), else its shown fields.
QStringList DefaultColumns(const Table& table);

}  // namespace odb
