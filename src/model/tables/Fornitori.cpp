// The table Fornitori: definition and row rules.
#include "model/tables/Fornitori.h"

#include "base/Variant.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

void Fornitori::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.4);
    identity.Flags1(1);
}

void Fornitori::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                odb::ReferenceDefs& /*references*/) {
    fields.AddField("RagioneSociale", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Indirizzo", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Citta", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Provincia", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("CAP", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("CodiceFiscale", odb::ftText, 16, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("PartitaIVA", odb::ftText, 11, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Telefono", odb::ftText, 255, 0, "", -100, -100, -100, true,
                    "Nemeri di telefono del Fornitore", "", 0);
    fields.AddField("Fax", odb::ftText, 255, 0, "", -100, -100, -100, true, "Nemeri di fax del Fornitore", "",
                    0);
    fields.AddField("EMail", odb::ftMailLink, 255, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("SitoInternet", odb::ftFileLink, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Contatto", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("DataAttivazione", odb::ftDate, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Note", odb::ftText, 254, 0, "", -100, -100, -100, true, "", "", 0);
    indexes.AddIndex("RagioneSociale", true, "");
}

// Every text but the company name starts empty; the supplier is active from today.
void Fornitori::OnNewRow(odb::DataSet& ds) {
    for (const char* field : {"Indirizzo", "Citta", "Provincia", "CAP", "PartitaIVA", "CodiceFiscale",
                              "Telefono", "Fax", "EMail", "SitoInternet", "Contatto", "Note"})
        ds.SetColValue(field, QString(""));
    ds.SetColValue("DataAttivazione", Variant::fromDate(Clock::today()));
}
