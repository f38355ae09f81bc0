// The table TipiCommessa: definition and row rules.
#include "model/tables/TipiCommessa.h"

#include "odb/DataSet.h"

void TipiCommessa::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Caption("Tipi Commessa / Prefisso Codici");
    identity.Flags1(1);
    identity.Flags2(15);
}

void TipiCommessa::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                   odb::ReferenceDefs& /*references*/) {
    fields.AddField("Tipologia", odb::ftLong, 0, 0, "", 15, -100, -100, true, "",
                    "1|Attrezzature|2|Macchine|3|Produzione|4|Assistenza|9|Prefisso Codice Carta", 0);
    fields.AddField("PrefissoNumero", odb::ftCodeText, 4, 0, "", -100, -100, -100, true,
                    "Prefisso codice per tutte le commesse di questo tipo", "", 0);
    indexes.AddIndex("Tipologia", true, "");
    indexes.AddIndex("PrefissoNumero", true, "");
}

void TipiCommessa::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double oldVersion,
                                        bool created) {
    if (created) {
        ds.AddRow({"Tipologia", 1, "PrefissoNumero", "1-"});
        ds.AddRow({"Tipologia", 2, "PrefissoNumero", "2-"});
        ds.AddRow({"Tipologia", 3, "PrefissoNumero", "3-"});
        ds.AddRow({"Tipologia", 4, "PrefissoNumero", "4-"});
    }
    // The card prefix came with version 1.1: older databases gain it at their first opening. A row
    // of type 9 that a user added by hand is kept, since a second one could never be stored.
    if (created || oldVersion < 1.1) {
        if (ds.OpenTable({}, "Tipologia=9")->DataEmpty()) ds.AddRow({"Tipologia", 9, "PrefissoNumero", "OP"});
    }
}

// The job-order numbers and the workers' cards depend on every type: none may go.
void TipiCommessa::OnDeleteRow(odb::DataSet& ds) {
    ds.RejectChange("Non puoi eliminare questo elemento", 0);
}
