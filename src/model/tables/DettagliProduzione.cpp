// The table DettagliProduzione: definition and row rules.
#include "model/tables/DettagliProduzione.h"

void DettagliProduzione::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.8);
    identity.Flags1(1);
    identity.BaseTable("DettagliCommesse");
}

void DettagliProduzione::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("SottoProgressivo", odb::ftLong, 3, 0, "000", 15, -100, -100, true,
                    "Sotto progressivo relativo alla commessa di appartenenza", "", 0);
    fields.AddField("Quantità", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Quantità richiesta dall'operatore in relazione alle esigenze di produzione", "", 0);
    fields.AddField("QuantitàNecessariaTotale", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Quantità totale effettivamente necessaria per la produzione della/e macchina/e", "", 0);
    fields.AddField("CostoProduzione", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale per la produzione dei particolari", "", 0);
    fields.AddField("CostoNecessità", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo del particolare in base alla quantità necessaria", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference(
        "Particolare", "NecessitaPartProduzione", false, false, "Codice",
        "Descrizione,QuantitàInProduzione,QuantitàMagazzino,DisponibilitàFinale,QuantitàNecessaria", -100,
        -100, -100, "", -2, -1, 0);
    indexes.AddIndex("SottoProgressivo", true, "DettProduzione").AddParentLink();
    indexes.SetBrowseColumns("SottoProgressivo,Particolare,Quantità");
}
