// The table Operai: definition and row rules.
#include "model/tables/Operai.h"

QString Operai::Name() const {
    return "Operai";
}

void Operai::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.6);
    identity.Flags1(1);
}

void Operai::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                             odb::ReferenceDefs& references) {
    fields.AddField("Codice", odb::ftCodeText, 10, 0, "", 1, -100, -100, true,
                    "Codice identificativo dell'operaio", "", 0);
    fields.AddField("Nominativo", odb::ftText, 64, 0, "", 1, -100, -100, true, "Nome e Cognome", "", 0);
    fields.AddField("Matricola", odb::ftCodeText, 32, 0, "", -100, -100, -100, true,
                    "Numero o Codice Matricola", "", 0);
    fields.AddField("Impiegato", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Utilizzato per stabilire il numero d'ordine differenziato per impiegati o non impiegati",
                    "", 0);
    fields.AddField("AbilitaStraordinari", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Abilita gli straordinari per questo operaio", "", 0);
    fields.AddField("GestioneAvanzataCommesse", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Abilita la gestione avanzata delle commesse dal pannello comandi", "", 0);
    fields.AddField("DataNascita", odb::ftDate, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("DataAssunzione", odb::ftDate, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("DataFineRapporto", odb::ftDate, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("Indirizzo", odb::ftText, 128, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Citta", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Provincia", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("CAP", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Telefono", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Cellulare", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("Categoria", "TipiCategoria", false, false, "", "Descrizione", -100, -100, -100,
                            "", -2, -1, 0);
    references.AddReference("Manzione", "DedirIdovuduvIrezadiv", false, false, "Codice",
                            "Descrizione,CostoOrario", -100, -100, -100, "", -2, -1, 0);
    indexes.AddIndex("Nominativo", false, "");
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Matricola", false, "");
    indexes.SetBrowseColumns("Codice,Matricola,Nominativo,Categoria,Manzione");
}

void Operai::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
