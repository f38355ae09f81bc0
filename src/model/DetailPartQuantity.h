// The number of parts of a job-order detail, as the step groups share worked time by it.
#pragma once

#include <cstdint>

namespace odb {
class DataSet;
}

// The `Quantità` of the detail's full derived row, as a whole number (halves to even), Null as 0.
// A detail whose table has no quantity (a service job order, a bare detail) counts as 1 part, so
// that its grouped minutes are not lost. `detail` stands on a row of `DettagliCommesse`.
int32_t DetailPartQuantity(odb::DataSet& detail);
