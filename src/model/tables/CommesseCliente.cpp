// The table CommesseCliente: definition and row rules.
#include "model/tables/CommesseCliente.h"

void CommesseCliente::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(2.4);
    identity.Flags1(1);
}

void CommesseCliente::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                      odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Progressivo", odb::ftLong, 0, 0, "0000", 15, -100, -100, true, "", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica che la commessa deve essere lavorata urgentemente", "", 0);
    fields.AddField("DataConsegnaConcordata", odb::ftDate, 0, 0, "", -100, -100, -100, false,
                    "Data concordata con il cliente", "", 0);
    fields.AddField("CommessaChiusa", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Automatico: indica che tutti i dettagli attrezzature e le vendite sono chiuse", "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("TempoTotaleAttrezzature", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale di lavorazione per le attrezzature, in minuti", "", 0);
    fields.AddField("CostoTotaleListinoAttrezzature", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Somma dei prezzi di listino per tutte le attrezzature della commessa", "", 0);
    fields.AddField("CostoEffettivoAttrezzature", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale effettivo per le attrezzature", "", 0);
    fields.AddField("TempoTotaleMacchine", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale di lavorazione per le macchine, in minuti", "", 0);
    fields.AddField("CostoTotaleListinoMacchine", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Somma dei prezzi di listino per tutte le macchine della commessa", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("Spedito", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se una commessa è già stata spedita al cliente", "", 0);
    fields.AddField("DataSpedizione", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("StatoNotifica", odb::ftLong, 0, 0, "", -100, -100, -100, false,
                    "Indica lo stato della notifica via E-Mail per avvenuta chiusura commessa",
                    "1|NON INVIARE|2|DA INVIARE|3|INVIATA", 0);
    references.AddReference("Cliente", "Clienti", false, false, "Codice", "Descrizione", -100, -100, -100, "",
                            -2, -1, 0);
    references.AddReference(
        "Attrezzature", "DettagliAttrezzature", true, true, "NumeroCommessa",
        "Chiuso,Sospeso,Particolare,Quantità,TempoImpiegato,TempoSospensione,CostoEffettivoPassaggi", -100,
        -100, -100, "Dettagli Attrezzature", -2, -1, 0);
    references.AddReference("Macchine", "DettagliVenditaMacchinari", true, true, "NumeroCommessa",
                            "Chiuso,Sospeso,Macchinario,Quantità,TempoImpiegato,TempoSospensione", -100, -100,
                            -100, "Dettagli Vendita Macchinari", -2, -1, 0);
    references.AddReference("Referente", "Operai", false, false, "Codice", "Nominativo,Matricola", 1, -100, 1,
                            "Nome del referente per la commessa", -2, -1, 0);
    indexes.SetBrowseColumns(
        "DataInserimento,Progressivo,Cliente,Urgente,DataConsegnaConcordata,Attrezzature,Macchine");
}
