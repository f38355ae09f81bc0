// The table OrdiniInterni: definition and row rules.
#include "model/tables/OrdiniInterni.h"

void OrdiniInterni::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Caption("Ordini Interni (Particolari Commerciale)");
    identity.Flags1(1);
    identity.BaseTable("OrdiniCommerciale");
}

void OrdiniInterni::DefineStructure(odb::FieldDefs& /*fields*/, odb::IndexDefs& indexes,
                                    odb::ReferenceDefs& references) {
    references.AddReference("Fornitore", "Fornitori", false, false, "", "RagioneSociale", -100, -100, -100,
                            "Ragione sociale del fornitore da cui si acquista", -2, -1, 0);
    indexes.AddIndex("Fornitore", true, "InxOrdiniFornitore").AddParentLink();
}
