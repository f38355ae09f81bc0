// The lines of a supplier order from a machine's purchased-part needs.
#pragma once

#include "base/Variant.h"

namespace odb {
class DataSet;
}

// Adds to the order's lines, for every purchased part the machine needs (of the supplier `supplier`
// when given: a Fornitori row's key), the part's shortfall (its negative final availability); a
// part with no line gets one, of 0 when nothing is missing. With `remove` the machine is being
// taken off the order: the lines of its parts lose their quantity still on order and go when
// nothing was loaded. Does nothing when it is already running on the order.
void GetPartsToOrder(odb::DataSet& order, odb::DataSet& machine, const Variant& supplier = Variant::missing(),
                     bool remove = false);
