// AdoConnection: the ADO-style face of a Connection, for the upgrade steps that run SQL through
// `AdoConnection.Execute(text, , -1)`; it runs on the very same connection and transaction.
#pragma once

#include <QString>

#include <cstdint>

#include "base/Variant.h"

namespace odb {

class Connection;

class AdoConnection {
  public:
    explicit AdoConnection(Connection& connection) : connection_(connection) {}
    // Runs `sql`; `recordsAffected` (when given) receives the rows changed; options are accepted
    // as ADO passes them (-1: no records returned).
    void Execute(const QString& sql, Variant* recordsAffected = nullptr, int32_t options = -1);
    Connection& connection() const { return connection_; }

  private:
    Connection& connection_;
};

}  // namespace odb
