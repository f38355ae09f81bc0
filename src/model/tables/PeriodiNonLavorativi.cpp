// The table PeriodiNonLavorativi: definition and row rules.
#include "model/tables/PeriodiNonLavorativi.h"

void PeriodiNonLavorativi::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Caption("Periodi Non Lavorativi");
    identity.Flags1(1);
}

void PeriodiNonLavorativi::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                           odb::ReferenceDefs& references) {
    fields.AddField("DataInizioPeriodo", odb::ftDate, 0, 0, "", -100, -100, -100, false,
                    "Data iniziale del periodo non lavorativo", "", 0);
    fields.AddField("DataFinePeriodo", odb::ftDate, 0, 0, "", -100, -100, -100, false,
                    "Data finale del periodo non lavorativo", "", 0);
    references.AddReference("TipoAssenza", "TipiAssenza", false, false, "Codice", "Descrizione", -100, -100,
                            -100, "Verrà visualizzato nella stampa accessi per i giorni impostati", -2, -1,
                            0);
    indexes.AddIndex("DataInizioPeriodo", true, "");
    indexes.AddIndex("DataFinePeriodo", false, "");
}
