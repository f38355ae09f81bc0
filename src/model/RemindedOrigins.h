// Which source rows already have a reminder (open or closed) of a given table and date field.
// Asked of the file with the origin's identity as the index key: a tick checks every row in its
// rules' windows, and a text comparison in the library's collation would read every reminder.
#pragma once

#include <QSet>
#include <QString>

#include <cstdint>
#include <vector>

namespace odb {
class Connection;
}

QSet<int64_t> RemindedOrigins(odb::Connection& connection, const QString& table, const QString& field,
                              const std::vector<int64_t>& ids);
