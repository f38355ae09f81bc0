// The table OrdiniInterni: definition and row rules.
#include "model/tables/OrdiniInterni.h"

#include "model/SupplierOrderRules.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

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

void OrdiniInterni::OnNewRow(odb::DataSet& ds) {
    ds.SetRowFlag(true);
}

// Only the internal-use parts of the order's supplier are offered for a line.
void OrdiniInterni::OnSelectReference(odb::DataSet& ds, odb::DataSet& referenceDS,
                                      const QString& referenceName) {
    if (IsColumn(referenceName, "Particolari.MagazzinoPartCommerciale"))
        SupplierOrderRules::OfferParts(ds, referenceDS, "UsoInterno");
}

void OrdiniInterni::OnNewReference(odb::DataSet& ds, odb::DataSet& /*referencedDS*/,
                                   const QString& referenceName) {
    if (IsColumn(referenceName, "Particolari")) SupplierOrderRules::RequireSupplier(ds);
}

void OrdiniInterni::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& /*referencedDS*/,
                                            const QString& referenceName, bool /*isDelete*/,
                                            bool /*inMemory*/) {
    if (IsColumn(referenceName, "Fornitore")) SupplierOrderRules::KeepSupplier(ds, false);
}
