// What orders to a supplier and internal-use orders share.
#include "model/SupplierOrderRules.h"

#include "odb/DataSet.h"

void SupplierOrderRules::RequireSupplier(odb::DataSet& order) {
    if (!order.ReferenceEmpty("Fornitore")) return;
    order.FocusField("Fornitore");
    order.RejectChange("Devi prima selezionare il fornitore", 0);
}

void SupplierOrderRules::KeepSupplier(odb::DataSet& order, bool hasMachine) {
    if (order.IsSilent() || order.ReferenceEmpty("Fornitore")) return;
    if (hasMachine || !order.ReferenceEmpty("Particolari"))
        order.RejectChange("Non puoi cambiare il fornitore se l'ordine non è vuoto", 0);
}

void SupplierOrderRules::OfferParts(odb::DataSet& order, odb::DataSet& offered, const QString& condition) {
    QString where = offered.ReferenceCondition("Fornitore", true, order.ReferenceKey("Fornitore"));
    if (!condition.isEmpty()) where = condition + " AND " + where;
    const QString old = offered.SelWhere();
    offered.SetSelWhere(old.trimmed().isEmpty() ? where : "(" + old + ") AND " + where);
}
