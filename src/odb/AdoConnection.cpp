// The ADO-style face of a connection, for upgrade steps.
#include "odb/AdoConnection.h"

#include "odb/Connection.h"

namespace odb {

void AdoConnection::Execute(const QString& sql, Variant* recordsAffected, int32_t) {
    const int64_t n = connection_.Execute(sql);
    if (recordsAffected) *recordsAffected = Variant(n);
}

}  // namespace odb
