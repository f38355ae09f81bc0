// The run-time table of the open database, by name or by 1-based position.
#pragma once

#include "base/Variant.h"

namespace odb {
class Table;
}

// Errors of the library (no open database, a name or position that no table has) reach the caller.
odb::Table& GetDBTable(const Variant& nameOrPosition);
