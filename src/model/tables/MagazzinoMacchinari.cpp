// The table MagazzinoMacchinari: definition and row rules.
#include "model/tables/MagazzinoMacchinari.h"

void MagazzinoMacchinari::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.6);
    identity.Flags1(1);
}

void MagazzinoMacchinari::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                          odb::ReferenceDefs& references) {
    fields.AddField("Codice", odb::ftText, 8, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Descrizione", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Descrizione del macchinario", "", 0);
    fields.AddField("QuantitàGiacenza", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Quantità in carico nel magazzino", "", 0);
    fields.AddField("QuantitàOrdinata", odb::ftLong, 0, 0, "", 15, -100, -100, true, "Quantità in ordine", "",
                    0);
    fields.AddField("PrezzoListino", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Prezzo Listino di riferimento", "", 0);
    fields.AddField("CostoParticolariCommerciali", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei particolari commerciali", "", 0);
    fields.AddField("CostoParticolariProduzione", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei particolari produzione", "", 0);
    fields.AddField("CostoTotale", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei particolari produzione + commerciali", "", 0);
    fields.AddField("Immagine", odb::ftImageFile, 0, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("ParticolariProduzione", "NecessitaPartProduzione", true, true, "Codice",
                            "Descrizione,QuantitàNecessaria,PrezzoIndicativo", -100, -100, -100, "", -1, -1,
                            0);
    references.AddReference("ParticolariCommerciale", "NecessitaPartCommerciale", true, true, "Codice",
                            "Descrizione,QuantitàNecessaria,QuantitàMagazzino,PrezzoUnitario,Fornitore", -100,
                            -100, -100, "", -1, -1, 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}
