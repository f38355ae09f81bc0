// The table MagazzinoPartCommerciale: definition and row rules.
#include "model/tables/MagazzinoPartCommerciale.h"

#include "model/CopyMisspeltAvailability.h"

void MagazzinoPartCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.7);
    identity.Caption("Magazzino Particolari Commerciale");
    identity.Flags1(1);
}

void MagazzinoPartCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                               odb::ReferenceDefs& references) {
    fields.AddField("Descrizione", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Descrizione del macchinario", "", 0);
    fields.AddField("Codice", odb::ftText, 8, 0, "", 15, -100, 1, true, "", "", 0);
    fields.AddField("QuantitàMagazzino", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Quantità in carico nel magazzino", "", 0);
    fields.AddField("QuantitàInOrdine", odb::ftLong, 0, 0, "", 15, -100, -100, true, "", "", 0);
    fields.AddField("DisponibilitàFinale", odb::ftLong, 0, 0, "", 15, -100, -100, true, "", "", 0);
    fields.AddField("CodiceFornitore", odb::ftText, 24, 0, "", -100, -100, -100, true,
                    "Codice del particolare assegnato dal fornitore", "", 0);
    fields.AddField("PrezzoUnitario", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Prezzo di acquisto dal fornitore", "", 0);
    fields.AddField("UsoInterno", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Identifica il materiale per uso interno, non destinato ai macchinari", "", 0);
    references.AddReference("Fornitore", "Fornitori", false, false, "", "RagioneSociale", 1, -100, -100,
                            "Ragione sociale del fornitore da cui si acquista il macchinario", -2, -1, 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

void MagazzinoPartCommerciale::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/,
                                                    double oldVersion, bool created) {
    if (created || oldVersion >= 1.7) return;
    CopyMisspeltAvailability(ds, Name());
}
