// The lines of a supplier order from a machine's purchased-part needs.
#include "model/GetPartsToOrder.h"

#include "model/HeldGuards.h"
#include "odb/DataSet.h"
#include "odb/Table.h"

namespace {

void RemoveMachineParts(odb::DataSet& lines, odb::DataSet& needs) {
    const QString link = lines.GetTable().BaseLinkField();
    for (needs.RowFirst(); !needs.RowInvalid(); needs.RowNext()) {
        if (!lines.FindRow(lines.MakeCondition(link, 0, needs.BaseKey(), 0))) continue;
        // The quantity still to come goes, as far as the part has it on order; what was loaded stays.
        double rest = lines.ColNumber("QuantitàOrdine") - lines.ColNumber("QuantitàCaricata");
        if (rest > 0) {
            if (rest > lines.ColNumber("QuantitàInOrdine")) rest = lines.ColNumber("QuantitàInOrdine");
            if (rest != 0) {
                lines.SubtractFromCol("QuantitàOrdine", rest);
                lines.SaveRow();
            }
        }
        if (lines.ColNumber("QuantitàOrdine") == 0) lines.DeleteRow();
    }
}

void AddMachineParts(odb::DataSet& lines, odb::DataSet& needs) {
    const QString link = lines.GetTable().BaseLinkField();
    for (needs.RowFirst(); !needs.RowInvalid(); needs.RowNext()) {
        const double available = needs.ColNumber("DisponibilitàFinale");
        const int32_t missing = available < 0 ? Variant(-available).toLong() : 0;
        if (!lines.FindRow(needs.RowCondition(0))) {
            lines.AddRow({link, needs.BaseKey(), "QuantitàOrdine", missing});
        } else if (missing != 0) {
            lines.AddToCol("QuantitàOrdine", missing);
            lines.SaveRow();
        }
    }
}

}  // namespace

void GetPartsToOrder(odb::DataSet& order, odb::DataSet& machine, const Variant& supplier, bool remove) {
    HeldGuards guards(order);
    if (!guards.lock("OrdinaParticolariMacchinario")) return;
    auto lines = order.GetReference("Particolari");
    auto needs = machine.GetReference("ParticolariCommerciale");
    if (!supplier.isMissing()) {
        lines->SetSelWhere(lines->ReferenceCondition("Fornitore", true, supplier));
        needs->SetSelWhere(needs->ReferenceCondition("Fornitore", true, supplier));
    }
    if (remove) {
        if (!lines->DataEmpty()) RemoveMachineParts(*lines, *needs);
    } else {
        AddMachineParts(*lines, *needs);
    }
}
