// Reminder origins looked up by the indexed identity; table and field names compared without case.
#include "model/RemindedOrigins.h"

#include "odb/Connection.h"
#include "odb/SqlStatement.h"

QSet<int64_t> RemindedOrigins(odb::Connection& connection, const QString& table, const QString& field,
                              const std::vector<int64_t>& ids) {
    QSet<int64_t> found;
    if (ids.empty()) return found;
    // The identities travel as one list: one statement probes the index for each of them, rather
    // than one statement run per identity. The stored identity is text, so the list's numbers are
    // made texts.
    odb::SqlStatement st = connection.statement(
        QStringLiteral("SELECT \"IDElementoOrigine\" FROM \"Promemoria\" WHERE \"IDElementoOrigine\" IN "
                       "(SELECT CAST(value AS TEXT) FROM json_each(?1)) AND \"NomeTabellaOrigine\" = ?2 "
                       "COLLATE NOCASE AND \"NomeCampoDataOrigine\" = ?3 COLLATE NOCASE"));
    st.bind(1, odb::SqlStatement::IdListValue(ids)).bind(2, table).bind(3, field);
    while (st.step())
        found.insert(st.int64(0));
    return found;
}
