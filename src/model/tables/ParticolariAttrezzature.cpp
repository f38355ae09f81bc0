// The table ParticolariAttrezzature: definition and row rules.
#include "model/tables/ParticolariAttrezzature.h"

#include "base/Currency.h"
#include "odb/DataSet.h"

void ParticolariAttrezzature::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Flags1(1);
}

void ParticolariAttrezzature::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                              odb::ReferenceDefs& /*references*/) {
    fields.AddField("Descrizione", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Descrizione del particolare", "", 0);
    fields.AddField("Immagine", odb::ftFileLink, 0, 0, "", -100, -100, -100, false,
                    "Immagine del particolare", "", 0);
    fields.AddField("PrezzoListino", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Prezzo Listino di riferimento", "", 0);
    fields.AddField("TempoPresunto", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Tempo stimato per la lavorazione del particolare", "", 0);
    fields.AddField("CostoDiProduzione", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Costo stimato di produzione del particolare", "", 0);
    indexes.AddIndex("Descrizione", true, "");
}

void ParticolariAttrezzature::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("PrezzoListino", Currency());
    ds.SetColValue("CostoDiProduzione", Currency());
    ds.SetColValue("TempoPresunto", 0);
}
