// The table DettagliCommesse: definition and row rules.
#include "model/tables/DettagliCommesse.h"

QString DettagliCommesse::Name() const {
    return "DettagliCommesse";
}

void DettagliCommesse::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.8);
    identity.Flags1(1);
    identity.Flags2(15);
}

void DettagliCommesse::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                       odb::ReferenceDefs& references) {
    fields.AddField("NumeroCommessa", odb::ftCodeText, 32, 0, "", 15, -100, -100, true,
                    "Codice univoco che identifica la commessa", "", 0);
    fields.AddField("Chiuso", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se la commessa è stata conclusa", "", 0);
    fields.AddField("Sospeso", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Indica se la commessa è stata sospesa", "", 0);
    fields.AddField("InLavorazione", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Indica se ci sono passaggi di lavorazione aperti", "", 0);
    fields.AddField("DataInizio", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "Data di inserimento",
                    "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "Data di chiusura",
                    "", 0);
    fields.AddField("TempoImpiegato", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale (in minuti) impiegato per la lavorazione", "", 0);
    fields.AddField("CostoEffettivoPassaggi", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei passaggi, dato dal tempo impiegato per il costo orario", "", 0);
    fields.AddField("TempoSospensione", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo di sospensione in minuti sottratto al totale", "", 0);
    references.AddReference("Tipo", "TipiCommessa", false, false, "", "Tipologia", 15, -100, -100, "", -1, -1,
                            0);
    references.AddReference("Passaggi", "PassaggiDettaglioCommesse", true, true, "",
                            "Operaio,DataInizio,Chiuso,Sospeso,TempoImpiegato,DataChiusura", 1, -100, -100,
                            "Passaggi di lavorazione", -2, -1, 0);
    indexes.AddIndex("NumeroCommessa", true, "");
    indexes.AddIndex("DataInizio", false, "");
    indexes.SetBrowseColumns("NumeroCommessa,Tipo,Passaggi");
}

void DettagliCommesse::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
