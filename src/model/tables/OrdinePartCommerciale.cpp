// The table OrdinePartCommerciale: definition and row rules.
#include "model/tables/OrdinePartCommerciale.h"

void OrdinePartCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.2);
    identity.Caption("Ordine Particolare Commerciale");
    identity.Flags1(1);
    identity.BaseTable("MagazzinoPartCommerciale");
    identity.SetBaseKind(odb::BaseKind::SharedBase);
    identity.Flags3(0);
}

void OrdinePartCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& /*indexes*/,
                                            odb::ReferenceDefs& /*references*/) {
    fields.AddField("QuantitàOrdine", odb::ftQuantity, 0, 0, "", 1, -100, -100, true, "Quantità ordinata", "",
                    0);
    fields.AddField("QuantitàCaricata", odb::ftQuantity, 0, 0, "", 15, -100, -100, true,
                    "Quantità relativa ai carichi effettuati", "", 0);
    fields.AddField("ImportoOrdine", odb::ftCurrency, 0, 0, "", 1, -100, -100, true, "", "", 0);
    fields.AddField("DataOrdine", odb::ftDateTime, 0, 0, "", 1, -100, -100, true, "", "", 0);
}
