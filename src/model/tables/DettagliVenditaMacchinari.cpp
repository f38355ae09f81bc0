// The table DettagliVenditaMacchinari: definition and row rules.
#include "model/tables/DettagliVenditaMacchinari.h"

void DettagliVenditaMacchinari::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Flags1(1);
    identity.BaseTable("DettagliCommesse");
}

void DettagliVenditaMacchinari::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                                odb::ReferenceDefs& references) {
    fields.AddField("SottoProgressivo", odb::ftLong, 3, 0, "000", 15, -100, -100, true,
                    "Sotto progressivo relativo alla commessa di appartenenza", "", 0);
    fields.AddField("Quantità", odb::ftQuantity, 0, 0, "", -100, -100, -100, true,
                    "Numero di macchinari relativi alla vendita", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference("Macchinario", "MagazzinoMacchinari", false, false, "Codice",
                            "Descrizione,PrezzoListino,QuantitàGiacenza,QuantitàOrdinata", -100, -100, -100,
                            "Macchinario venduto", -2, -1, 0);
    indexes.AddIndex("SottoProgressivo", true, "DettVendita").AddParentLink();
    indexes.SetBrowseColumns("Macchinario");
}
