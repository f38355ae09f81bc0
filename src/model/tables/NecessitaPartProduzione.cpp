// The table NecessitaPartProduzione: definition and row rules.
#include "model/tables/NecessitaPartProduzione.h"

void NecessitaPartProduzione::DefineIdentity(odb::TableIdentity& identity) {
    identity.Caption("Necessità Particolare Produzione");
    identity.Flags1(1);
    identity.BaseTable("MagazzinoPartProduzione");
    identity.SetBaseKind(odb::BaseKind::SharedBase);
}

void NecessitaPartProduzione::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& /*indexes*/,
                                              odb::ReferenceDefs& /*references*/) {
    fields.AddField("QuantitàNecessaria", odb::ftLong, 0, 0, "", -100, -100, -100, true, "", "", 0);
}
