// The table OrdiniFornitore: definition and row rules.
#include "model/tables/OrdiniFornitore.h"

#include "model/GetPartsToOrder.h"
#include "model/SupplierOrderRules.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Table.h"

void OrdiniFornitore::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.2);
    identity.Caption("Ordini per Fornitore (Particolari Commerciale)");
    identity.Flags1(1);
    identity.BaseTable("OrdiniCommerciale");
}

void OrdiniFornitore::DefineStructure(odb::FieldDefs& /*fields*/, odb::IndexDefs& indexes,
                                      odb::ReferenceDefs& references) {
    references.AddReference("Fornitore", "Fornitori", false, false, "", "RagioneSociale", -100, -100, -100,
                            "Ragione sociale del fornitore da cui si acquista", -2, -1, 0);
    references.AddReference("RiferimentoMacchinari", "MagazzinoMacchinari", false, false, "Codice",
                            "Descrizione,QuantitàGiacenza,QuantitàOrdinata,PrezzoListino", -100, -100, -100,
                            "Selezione dei Macchinari per ordinare i relativi Particolari Commerciali", -2,
                            -1, 0);
    indexes.AddIndex("Fornitore", true, "InxOrdiniFornitore").AddParentLink();
}

void OrdiniFornitore::OnNewRow(odb::DataSet& ds) {
    ds.SetRowFlag(true);
}

void OrdiniFornitore::OnSelectReference(odb::DataSet& ds, odb::DataSet& referenceDS,
                                        const QString& referenceName) {
    if (IsColumn(referenceName, "RiferimentoMacchinari")) SupplierOrderRules::RequireSupplier(ds);
    // Only the parts of the order's supplier are offered for a line.
    if (IsColumn(referenceName, "Particolari.MagazzinoPartCommerciale") &&
        IsColumn(ds.GetTable().Name(), "OrdiniFornitore"))
        SupplierOrderRules::OfferParts(ds, referenceDS, {});
}

// A new line stands for a part of the order's supplier.
void OrdiniFornitore::OnNewReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                     const QString& referenceName) {
    if (!IsColumn(referenceName, "Particolari")) return;
    SupplierOrderRules::RequireSupplier(ds);
    referencedDS.SetColValue("Fornitore", ds.ReferenceKey("Fornitore"));
}

void OrdiniFornitore::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                              const QString& referenceName, bool /*isDelete*/,
                                              bool /*inMemory*/) {
    // The machine being left takes its parts' open quantities off the order.
    if (IsColumn(referenceName, "RiferimentoMacchinari") && !referencedDS.DataEmpty() &&
        !referencedDS.NoCurrentRow())
        GetPartsToOrder(ds, referencedDS, ds.ReferenceKey("Fornitore"), true);
    if (IsColumn(referenceName, "Fornitore"))
        SupplierOrderRules::KeepSupplier(ds, !ds.ReferenceEmpty("RiferimentoMacchinari"));
}

void OrdiniFornitore::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                        const QString& referenceName, bool /*isDelete*/, bool /*inMemory*/) {
    if (!IsColumn(referenceName, "RiferimentoMacchinari") || referencedDS.DataEmpty() ||
        referencedDS.NoCurrentRow())
        return;
    // The lines need their order stored.
    if (ds.IsNewRow()) ds.SaveRow();
    GetPartsToOrder(ds, referencedDS, ds.ReferenceKey("Fornitore"), false);
}
