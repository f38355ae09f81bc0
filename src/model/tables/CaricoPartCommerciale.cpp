// The table CaricoPartCommerciale: definition and row rules.
#include "model/tables/CaricoPartCommerciale.h"

#include "base/Currency.h"
#include "base/Variant.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "platform/Clock.h"

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

void CaricoPartCommerciale::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("DataCarico", Variant::fromDate(Clock::now()));
    ds.SetColValue("ImportoCarico", Currency());
}

// The pieces loaded are in the part's stock: the old quantity leaves it, the new one enters it.
void CaricoPartCommerciale::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (IsColumn(columnName, "QuantitàCarico"))
        ds.SubtractFromCol("QuantitàMagazzino", ds.ColNumber("QuantitàCarico"));
}

void CaricoPartCommerciale::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    const QString& column = changedColumnName;
    if (IsColumn(column, "QuantitàCarico")) ds.AddToCol("QuantitàMagazzino", ds.ColNumber("QuantitàCarico"));
    // A line of a part without a price keeps the amount it has.
    if ((IsColumn(column, "PrezzoUnitario") || IsColumn(column, "QuantitàCarico")) &&
        ds.ColNumber("PrezzoUnitario") > 0 && !ds.ColIsNull("QuantitàCarico")) {
        const Currency price = ds.GetDatabase().ConvertCurrency(ds.ColValue("PrezzoUnitario"), 0, 1.0f);
        ds.SetColValue("ImportoCarico", price.toDouble() * ds.ColNumber("QuantitàCarico"));
    }
}

// The pieces leave the stock (and the load and its order take the line's amount and quantity
// back) before the line goes.
void CaricoPartCommerciale::OnDeleteRow(odb::DataSet& ds) {
    // A negative quantity (pieces taken back) is given back too.
    if (ds.ColNumber("QuantitàCarico") == 0) return;
    ds.SetColValue("QuantitàCarico", 0);
    ds.SaveRow();
}
