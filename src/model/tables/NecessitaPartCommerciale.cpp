// The table NecessitaPartCommerciale: definition and row rules.
#include "model/tables/NecessitaPartCommerciale.h"

void NecessitaPartCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Caption("Necessità Particolare Commerciale");
    identity.Flags1(1);
    identity.BaseTable("MagazzinoPartCommerciale");
    identity.SetBaseKind(odb::BaseKind::SharedBase);
}

void NecessitaPartCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& /*indexes*/,
                                               odb::ReferenceDefs& /*references*/) {
    fields.AddField("QuantitàNecessaria", odb::ftLong, 0, 0, "", -100, -100, -100, true, "", "", 0);
}
