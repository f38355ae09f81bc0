// The table CaricoPartCommerciale: definition and row rules.
#include "model/tables/CaricoPartCommerciale.h"

void CaricoPartCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Caption("Carico Particolare Commerciale");
    identity.Flags1(1);
    identity.BaseTable("MagazzinoPartCommerciale");
    identity.SetBaseKind(odb::BaseKind::SharedBase);
    identity.Flags3(0);
}

void CaricoPartCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& /*indexes*/,
                                            odb::ReferenceDefs& /*references*/) {
    fields.AddField("QuantitàCarico", odb::ftQuantity, 0, 0, "", 1, -100, -100, true, "Quantità di carico",
                    "", 0);
    fields.AddField("ImportoCarico", odb::ftCurrency, 0, 0, "", 1, -100, -100, true, "", "", 0);
    fields.AddField("DataCarico", odb::ftDateTime, 0, 0, "", 1, -100, -100, true, "", "", 0);
}
