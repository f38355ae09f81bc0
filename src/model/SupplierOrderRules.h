// SupplierOrderRules: what orders to a supplier and internal-use orders share: the supplier comes
// first, stays while the order is not empty, and limits the parts offered for a line.
#pragma once

#include <QString>

namespace odb {
class DataSet;
}

class SupplierOrderRules {
  public:
    // Refuses, with the input on the supplier, while the order has none.
    static void RequireSupplier(odb::DataSet& order);
    // Refuses a change of a set supplier while the order has lines (or `hasMachine`), unless the
    // library fills rows itself.
    static void KeepSupplier(odb::DataSet& order, bool hasMachine);
    // Limits the parts offered for a line to the order's supplier, and to `condition` when given.
    static void OfferParts(odb::DataSet& order, odb::DataSet& offered, const QString& condition);
};
