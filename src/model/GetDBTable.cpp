// Table lookup in the open database.
#include "model/GetDBTable.h"

#include "model/ModelState.h"
#include "odb/Database.h"
#include "odb/LibraryError.h"
#include "odb/Tables.h"

odb::Table& GetDBTable(const Variant& nameOrPosition) {
    if (!g_objDatabase) odb::LibraryError::Raise(odb::odbErrNotOpen);
    return g_objDatabase->Tables().Item(nameOrPosition);
}
