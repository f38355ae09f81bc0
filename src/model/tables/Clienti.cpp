// The table Clienti: definition and row rules.
#include "model/tables/Clienti.h"

#include "odb/DataSet.h"

void Clienti::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.6);
    identity.Flags1(1);
}

void Clienti::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                              odb::ReferenceDefs& /*references*/) {
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Codice", odb::ftText, 8, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Indirizzo", odb::ftText, 128, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Citta", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Provincia", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("CAP", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("PartitaIva", odb::ftText, 16, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Telefono", odb::ftText, 255, 0, "", -100, -100, -100, true,
                    "Numeri di telefono del Cliente", "", 0);
    fields.AddField("Fax", odb::ftText, 255, 0, "", -100, -100, -100, true, "Numeri di fax del Cliente", "",
                    0);
    fields.AddField("EMail", odb::ftMailLink, 255, 0, "", -100, -100, -100, true,
                    "Indirizzo EMail del Cliente", "", 0);
    fields.AddField(
        "InvioAutomaticoEMail", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
        "Attivazione del servizio di invio automatico di e-mail per la notifica di chiusura commessa", "", 0);
    fields.AddField("SitoInternet", odb::ftMailLink, 255, 0, "", -100, -100, -100, true, "Sito del Cliente",
                    "", 0);
    indexes.AddIndex("Descrizione", true, "");
    indexes.AddIndex("Codice", false, "");
}

void Clienti::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double /*oldVersion*/,
                                   bool created) {
    if (!created) return;
    ds.AddRow({"Descrizione", "Cliente generico", "PartitaIva", "", "Indirizzo", "", "Citta", "", "Provincia",
               "", "CAP", "", "Telefono", "", "Fax", ""});
}

// Every text starts empty, not Null; the name is the user's.
void Clienti::OnNewRow(odb::DataSet& ds) {
    for (const char* field :
         {"Codice", "Indirizzo", "Citta", "Provincia", "CAP", "PartitaIva", "Telefono", "Fax", "EMail"})
        ds.SetColValue(field, QString(""));
    ds.SetColValue("InvioAutomaticoEMail", false);
    ds.SetColValue("SitoInternet", QString(""));
}
