// Whether a stored table of the database file has a column of a given name: the upgrade steps that
// copy from a column of older databases run only where that column is still there.
#pragma once

#include <QString>

namespace odb {
class Connection;
}

bool StoredColumnExists(odb::Connection& connection, const QString& tableName, const QString& columnName);
