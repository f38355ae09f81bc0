// The table PassaggiDettaglioCommesse: definition and row rules.
#include "model/tables/PassaggiDettaglioCommesse.h"

QString PassaggiDettaglioCommesse::Name() const {
    return "PassaggiDettaglioCommesse";
}

void PassaggiDettaglioCommesse::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Flags1(1);
}

void PassaggiDettaglioCommesse::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                                odb::ReferenceDefs& references) {
    fields.AddField("NumeroCommessa", odb::ftCodeText, 32, 0, "", 15, -100, -100, true,
                    "Codice univoco che identifica la commessa", "", 0);
    fields.AddField("Chiuso", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se la commessa è stata conclusa", "", 0);
    fields.AddField("Sospeso", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Indica se la commessa è stata sospesa", "", 0);
    fields.AddField("DataInizio", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "Data di conclusione",
                    "", 0);
    fields.AddField("DataSospensione", odb::ftDateTime, 0, 0, "", -100, -100, -100, false,
                    "Data di inzio dell'ultima sospensione effettuata", "", 0);
    fields.AddField("DataFineSospensione", odb::ftDateTime, 0, 0, "", -100, -100, -100, false,
                    "Data di fine dell'ultima sospensione effettuata", "", 0);
    fields.AddField("TempoImpiegato", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo in minuti calcolato automaticamente", "", 0);
    fields.AddField("CostoEffettivo", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Tempo impiegato per costo orario", "", 0);
    fields.AddField("TempoSospensione", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Tempo di sospensione in minuti da decrementare al totale", "", 0);
    fields.AddField("TotaleParticolariGruppo", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Il tempo impiegato viene calcolato dividendo per questo numero e moltiplicando per la "
                    "quantità del particolare lavorato",
                    "", 0);
    references.AddReference("Operaio", "Operai", false, false, "Codice", "Nominativo,Manzione", -100, -100,
                            -100, "", -2, -1, 0);
    indexes.AddIndex("NumeroCommessa", true, "PassaggioCommessa").AddColumn("Operaio").AddField("DataInizio");
    indexes.AddIndex("DataInizio", false, "");
    indexes.SetBrowseColumns("Operaio,NumeroCommessa,DataInizio,Chiuso,Sospeso");
}

void PassaggiDettaglioCommesse::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
