// Column lookup in the stored schema of the database file.
#include "model/StoredColumnExists.h"

#include "odb/Connection.h"
#include "odb/SqlStatement.h"

bool StoredColumnExists(odb::Connection& connection, const QString& tableName, const QString& columnName) {
    odb::SqlStatement st =
        connection.statement("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
    st.bind(1, tableName).bind(2, columnName);
    return st.step();
}
