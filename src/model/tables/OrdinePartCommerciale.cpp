// The table OrdinePartCommerciale: definition and row rules.
#include "model/tables/OrdinePartCommerciale.h"

#include "base/Currency.h"
#include "base/Variant.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "platform/Clock.h"

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

void OrdinePartCommerciale::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("DataOrdine", Variant::fromDate(Clock::now()));
    ds.SetColValue("ImportoOrdine", Currency());
    ds.SetColValue("QuantitàCaricata", 0);
}

// The part's quantity on order is what its lines ordered and did not load: the old values leave
// it before a change, the new ones enter it after.
void OrdinePartCommerciale::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (IsColumn(columnName, "QuantitàOrdine"))
        ds.SubtractFromCol("QuantitàInOrdine", ds.ColNumber("QuantitàOrdine"));
    if (IsColumn(columnName, "QuantitàCaricata"))
        ds.AddToCol("QuantitàInOrdine", ds.ColNumber("QuantitàCaricata"));
}

void OrdinePartCommerciale::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    const QString& column = changedColumnName;
    if (IsColumn(column, "QuantitàOrdine")) ds.AddToCol("QuantitàInOrdine", ds.ColNumber("QuantitàOrdine"));
    if (IsColumn(column, "QuantitàCaricata"))
        ds.SubtractFromCol("QuantitàInOrdine", ds.ColNumber("QuantitàCaricata"));
    // A line of a part without a price keeps the amount it has.
    if ((IsColumn(column, "PrezzoUnitario") || IsColumn(column, "QuantitàOrdine")) &&
        ds.ColNumber("PrezzoUnitario") > 0 && !ds.ColIsNull("QuantitàOrdine")) {
        const Currency price = ds.GetDatabase().ConvertCurrency(ds.ColValue("PrezzoUnitario"), 0, 1.0f);
        ds.SetColValue("ImportoOrdine", price.toDouble() * ds.ColNumber("QuantitàOrdine"));
    }
}

// What the line still has on order leaves the part before the line goes; so does what it loaded
// beyond what it ordered (a line lowered below its loads), or the part's quantity on order would
// keep it.
void OrdinePartCommerciale::OnDeleteRow(odb::DataSet& ds) {
    if (ds.ColNumber("QuantitàOrdine") == 0 && ds.ColNumber("QuantitàCaricata") == 0) return;
    ds.SetColValue("QuantitàCaricata", 0);
    ds.SetColValue("QuantitàOrdine", 0);
    ds.SaveRow();
}

// The part's supplier is not changed through a stored order line.
void OrdinePartCommerciale::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                              const QString& referenceName, bool /*isDelete*/,
                                              bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Fornitore") || referencedDS.DataEmpty() || ds.IsSilent()) return;
    if (ds.IsChangedRow())
        ds.RejectChange("Impossibile modificare il fornitore perché intestatario dell' ordine ", 0);
}
