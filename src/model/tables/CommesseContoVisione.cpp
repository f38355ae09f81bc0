// The table CommesseContoVisione: definition and row rules.
#include "model/tables/CommesseContoVisione.h"

void CommesseContoVisione::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Flags1(1);
    identity.BaseTable("CommesseCliente");
}

void CommesseContoVisione::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                           odb::ReferenceDefs& /*references*/) {
    fields.AddField("Descrizione", odb::ftText, 128, 0, "", -100, -100, -100, true,
                    "Descrizione del conto visione", "", 0);
    fields.AddField("DataScadenzaVisione", odb::ftDate, 0, 0, "", -100, -100, -100, false, "Data di chiusura",
                    "", 0);
    fields.AddField("Stato", odb::ftLong, 0, 0, "", -100, -100, -100, false, "", "1|VENDUTA|2|RESTITUITA", 0);
    indexes.AddIndex("Descrizione", false, "");
    indexes.AddIndex("DataScadenzaVisione", false, "");
}
