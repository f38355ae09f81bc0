// The SQL functions and the collation that translated conditions call, and the binding of
// their values. Every connection that runs translated SQL registers them once.
#pragma once

#include <vector>

#include "odb/condition/ConditionSchema.h"

struct sqlite3;
struct sqlite3_stmt;

namespace odb {

// vb_like(value, pattern), vb_month(date), vb_year(date), vb_datetext(date), vb_concat(a, b)
// and the collation VBTEXT. Dates are OLE days (numbers); ISO texts are read too. Returns the SQLite result
// code.
int RegisterConditionFunctions(sqlite3* db);

// Binds `values` to the statement's parameters from index `first` on; returns the first
// SQLite error code, or SQLITE_OK.
int BindConditionValues(sqlite3_stmt* stmt, const std::vector<SqlValue>& values, int first = 1);

}  // namespace odb
