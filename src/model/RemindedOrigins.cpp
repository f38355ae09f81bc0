// Reminder origins looked up by the indexed identity; table and field names compared without case.
#include "model/RemindedOrigins.h"

#include "odb/Connection.h"
#include "odb/SqlStatement.h"

QSet<QString> RemindedOrigins(odb::Connection& connection, const QString& table, const QString& field,
                              const QStringList& ids) {
    QSet<QString> found;
    odb::SqlStatement st = connection.statement(
        "SELECT 1 FROM \"Promemoria\" WHERE \"IDElementoOrigine\" = ?1 AND \"NomeTabellaOrigine\" = ?2 "
        "COLLATE NOCASE AND \"NomeCampoDataOrigine\" = ?3 COLLATE NOCASE LIMIT 1");
    for (const QString& id : ids) {
        st.bind(1, id).bind(2, table).bind(3, field);
        if (st.step()) found.insert(id);
        st.reset();
    }
    return found;
}
