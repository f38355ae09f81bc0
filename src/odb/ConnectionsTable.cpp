// The library's table of logged-in users.
#include "odb/ConnectionsTable.h"

namespace odb {

void ConnectionsTable::DefineIdentity(TableIdentity& identity) {
    identity.Version(1.0);
    identity.Caption(QStringLiteral("Connessioni"));
}

void ConnectionsTable::DefineStructure(FieldDefs& fields, IndexDefs& indexes, ReferenceDefs&) {
    fields.AddField(QStringLiteral("Utente"), ftText, 64, 0, {}, -100, -100, -100, true,
                    QStringLiteral("Utente"), {}, 0);
    fields.AddField(QStringLiteral("Computer"), ftText, 255, 0, {}, -100, -100, -100, true,
                    QStringLiteral("Nome del computer"), {}, 0);
    fields.AddField(QStringLiteral("DataAccesso"), ftDateTime, 0, 0, {}, -100, -100, -100, true,
                    QStringLiteral("Data e ora di accesso"), {}, 0);
    indexes.AddIndex(QStringLiteral("DataAccesso"), false);
}

}  // namespace odb
