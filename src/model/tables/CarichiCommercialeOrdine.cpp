// The table CarichiCommercialeOrdine: definition and row rules.
#include "model/tables/CarichiCommercialeOrdine.h"

#include "base/Variant.h"
#include "model/HeldGuards.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Table.h"

void CarichiCommercialeOrdine::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.2);
    identity.Caption("Carichi da Ordini (Particolari Commerciale)");
    identity.Flags1(1);
    identity.BaseTable("CarichiCommerciale");
}

void CarichiCommercialeOrdine::DefineStructure(odb::FieldDefs& /*fields*/, odb::IndexDefs& indexes,
                                               odb::ReferenceDefs& references) {
    references.AddReference("Ordine", "OrdiniCommerciale", false, false, "Numero",
                            "DataInserimento,ImportoTotale,OrdineChiuso", -100, -100, -100,
                            "Ordine contenente i Particolari Commerciali da Caricare", -2, -1, 0);
    indexes.SetBrowseColumns("DataInserimento,ImportoTotale,Ordine,Particolari");
}

namespace {

bool RowGiven(odb::DataSet& ds) {
    return !ds.DataEmpty() && !ds.NoCurrentRow();
}

}  // namespace

void CarichiCommercialeOrdine::OnNewRow(odb::DataSet& ds) {
    ds.SetRowFlag(true);
}

void CarichiCommercialeOrdine::OnSelectReference(odb::DataSet& ds, odb::DataSet& referenceDS,
                                                 const QString& referenceName) {
    auto narrow = [&](const QString& condition) {
        const QString old = referenceDS.SelWhere();
        referenceDS.SetSelWhere(old.trimmed().isEmpty() ? condition : "(" + old + ") AND " + condition);
    };
    // Only the parts on the chosen order, with the pieces still to come, fewest first.
    if (IsColumn(referenceName, "Particolari.MagazzinoPartCommerciale")) {
        auto order = ds.GetReference("Ordine");
        const odb::ReferenceDef& orderLines = order->GetReferenceDef("Particolari");
        const odb::Table& lineTable = order->GetTable().ReferenceTable("Particolari");
        narrow("OID IN (SELECT " + lineTable.BaseLinkField() + " FROM " + lineTable.Name() + " WHERE " +
               orderLines.KeyCondition(ds.ReferenceKey("Ordine")) + ")");
        const QString lines = lineTable.Name();
        referenceDS.SetSelFields("*,(" + lines + ".QuantitàOrdine-" + lines +
                                 ".QuantitàCaricata) As QuantitàDaOrdinare");
        referenceDS.SetSortOrder("QuantitàDaOrdinare");
    }
    // Only open orders.
    if (IsColumn(referenceName, "Ordine")) narrow("Not OrdineChiuso");
}

void CarichiCommercialeOrdine::OnNewReference(odb::DataSet& ds, odb::DataSet& /*referencedDS*/,
                                              const QString& referenceName) {
    if (!IsColumn(referenceName, "Particolari") || !ds.ReferenceEmpty("Ordine")) return;
    ds.FocusField("Ordine");
    ds.RejectChange("Devi prima selezionare l'ordine", 0);
}

void CarichiCommercialeOrdine::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                       const QString& referenceName, bool /*isDelete*/,
                                                       bool /*inMemory*/) {
    if (IsColumn(referenceName, "Ordine") && !ds.IsGuardLocked("LockChanging_Ordine") &&
        !ds.ReferenceEmpty("Ordine") && !ds.IsSilent() && !ds.ReferenceEmpty("Particolari"))
        ds.RejectChange("Non puoi cambiare l'ordine se il carico non è vuoto", 0);
    if (IsColumn(referenceName, "Particolari") && RowGiven(referencedDS))
        CarryLoadToOrderLine(ds, referencedDS, true);
}

void CarichiCommercialeOrdine::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                 const QString& referenceName, bool /*isDelete*/,
                                                 bool /*inMemory*/) {
    if (IsColumn(referenceName, "Ordine") && !ds.IsGuardLocked("LockChanging_Ordine") &&
        RowGiven(referencedDS))
        FillFromOrder(ds);
    if (IsColumn(referenceName, "Particolari") && RowGiven(referencedDS))
        CarryLoadToOrderLine(ds, referencedDS, false);
}

void CarichiCommercialeOrdine::FillFromOrder(odb::DataSet& ds) {
    if (!ds.AskQuestion(0, "Caricare tutte le quantità rimaste in ordine?", false, true)) return;
    // The lines need their load stored.
    if (ds.IsNewRow()) ds.SaveRow();
    auto orderLines = ds.GetReference("Ordine")->GetReference("Particolari");
    auto lines = ds.GetReference("Particolari");
    const QString link = lines->GetTable().BaseLinkField();
    int64_t added = 0;
    for (orderLines->RowFirst(); !orderLines->RowInvalid(); orderLines->RowNext()) {
        const int32_t remaining =
            Variant(orderLines->ColNumber("QuantitàOrdine") - orderLines->ColNumber("QuantitàCaricata"))
                .toLong();
        if (remaining <= 0) continue;
        lines->AddRow({"QuantitàCarico", remaining, link, orderLines->BaseKey()});
        added += remaining;
    }
    if (added == 0) ds.ShowMessage("L'ordine non contiene Perticolari da caricare");
}

void CarichiCommercialeOrdine::CarryLoadToOrderLine(odb::DataSet& ds, odb::DataSet& line, bool before) {
    HeldGuards guards(ds);
    if (!guards.lock("LockChanging_Ordine")) return;
    auto order = ds.GetReference("Ordine");
    if (!RowGiven(*order)) return;
    const odb::Table& lineTable = order->GetTable().ReferenceTable("Particolari");
    const QString samePart = lineTable.BaseLinkFieldDef()->MakeCondition(line.BaseKey());
    auto orderLines = order->GetReference("Particolari", samePart);
    if (orderLines->DataEmpty()) return;
    // The first line of the part, as the order lists them.
    orderLines->RowFirst();
    const double quantity = line.ColNumber("QuantitàCarico");
    orderLines->AddToCol("QuantitàCaricata", before ? -quantity : quantity);
    line.SaveRow();
    orderLines->SaveRow();
}
