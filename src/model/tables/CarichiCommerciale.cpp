// The table CarichiCommerciale: definition and row rules.
#include "model/tables/CarichiCommerciale.h"

void CarichiCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.0);
    identity.Caption("Carichi Particolari Commerciale");
    identity.Flags1(1);
}

void CarichiCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", 1, -100, -100, true, "", "", 0);
    fields.AddField("ImportoTotale", odb::ftCurrency, 0, 0, "", 15, 1, -100, true,
                    "Importo totale dell'Ordine", "", 0);
    fields.AddField("Note", odb::ftText, 255, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("Particolari", "CaricoPartCommerciale", true, true, "Codice",
                            "Descrizione,QuantitàCarico,DisponibilitàFinale,ImportoCarico,QuantitàMagazzino,"
                            "PrezzoUnitario,Fornitore",
                            -100, -100, -100, "", -2, -1, 0);
    indexes.AddIndex("DataInserimento", false, "");
    indexes.SetBrowseColumns("DataInserimento,ImportoTotale,Particolari");
}
