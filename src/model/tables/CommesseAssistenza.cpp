// The table CommesseAssistenza: definition and row rules.
#include "model/tables/CommesseAssistenza.h"

void CommesseAssistenza::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.4);
    identity.Flags1(1);
    identity.BaseTable("DettagliCommesse");
}

void CommesseAssistenza::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Progressivo", odb::ftLong, 0, 0, "0000", 15, -100, -100, true, "", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica che la commessa deve essere lavorata urgentemente", "", 0);
    fields.AddField("CostoTotale", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dell'intervento", "", 0);
    fields.AddField("TipoMacchina", odb::ftText, 64, 0, "", -100, -100, -100, false,
                    "Indica se l'intervento di assistenza si riferisce ad una macchina in particolare", "",
                    0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference("Cliente", "Clienti", false, false, "Codice", "Descrizione", -100, -100, -100, "",
                            -2, -1, 0);
    references.AddReference("TipoAssistenza", "TipiAssistenza", false, false, "", "Descrizione,PrezzoOrario",
                            -100, -100, -100, "", -2, -1, 0);
    indexes.SetBrowseColumns("DataInserimento,Progressivo,Cliente,TipoAssistenza,Urgente");
}
