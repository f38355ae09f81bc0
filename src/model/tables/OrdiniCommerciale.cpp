// The table OrdiniCommerciale: definition and row rules.
#include "model/tables/OrdiniCommerciale.h"

void OrdiniCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.6);
    identity.Caption("Ordini Particolari Commerciale");
    identity.Flags1(1);
}

void OrdiniCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                        odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", 1, -100, -100, true, "", "", 0);
    fields.AddField("Numero", odb::ftLong, 0, 0, "000000", 15, -100, -100, true,
                    "Numero progressivo dell'ordine", "", 0);
    fields.AddField("ImportoTotale", odb::ftCurrency, 0, 0, "", 15, 1, -100, true,
                    "Importo totale dell'Ordine", "", 0);
    fields.AddField("OrdineChiuso", odb::ftBoolean, 0, 0, "", 1, -100, -100, true,
                    "Indica se l'ordine è stato caticato completamente", "", 0);
    fields.AddField("DataConsegnaMerce", odb::ftDateTime, 0, 0, "", 1, -100, -100, false,
                    "Data prevista per la consegna. Se impostata viene stampata nel fax d'ordine", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se l'ordine è urgente. Viene eventualmente stampato nel fax d'ordine al posto "
                    "della data di consegna",
                    "", 0);
    fields.AddField("Note", odb::ftText, 255, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("Particolari", "OrdinePartCommerciale", true, true, "Codice",
                            "Descrizione,QuantitàOrdine,DisponibilitàFinale,QuantitàCaricata,ImportoOrdine,"
                            "QuantitàMagazzino,PrezzoUnitario,Fornitore",
                            -100, -100, -100, "", -2, -1, 0);
    indexes.AddIndex("DataInserimento", false, "");
    indexes.SetBrowseColumns("DataInserimento,Numero,Particolari");
}
