// The table CommesseProduzione: definition and row rules.
#include "model/tables/CommesseProduzione.h"

void CommesseProduzione::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.7);
    identity.Flags1(1);
}

void CommesseProduzione::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Progressivo", odb::ftLong, 0, 0, "0000", 15, -100, -100, true, "", "", 0);
    fields.AddField("Quantità", odb::ftQuantity, 0, 0, "", -100, -100, -100, true,
                    "Numero di macchinari da produrre", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica che la commessa deve essere lavorata urgentemente", "", 0);
    fields.AddField("CommessaChiusa", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Impostato automaticamente quando tutti i dettagli di produzione sono chiusi", "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("TempoTotale", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale di produzione in minuti", "", 0);
    fields.AddField("CostoNecessità", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei dettagli di produzione necessari al macchinario", "", 0);
    fields.AddField("CostoEffettivo", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei dettagli di produzione", "", 0);
    fields.AddField("CostoTotale", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale del macchinario (produzione + commerciale)", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference("Macchinario", "MagazzinoMacchinari", false, false, "Codice",
                            "Descrizione,QuantitàGiacenza", -100, -100, -100, "", -2, -1, 0);
    references.AddReference("Dettagli", "DettagliProduzione", true, true, "NumeroCommessa",
                            "Quantità,Chiuso,Sospeso,Particolare,CostoNecessità,CostoEffettivoPassaggi,"
                            "TempoImpiegato,TempoSospensione",
                            -100, -100, -100, "Dettagli Produzione", -2, -1, 0);
    indexes.SetBrowseColumns("DataInserimento,Progressivo,Urgente,Macchinario,Quantità,Dettagli");
}
