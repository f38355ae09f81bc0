// The number of parts of a job-order detail.
#include "model/DetailPartQuantity.h"

#include "base/Variant.h"
#include "odb/DataSet.h"

int32_t DetailPartQuantity(odb::DataSet& detail) {
    auto full = detail.OpenRelatedEx();
    if (full->DataEmpty() || full->NoCurrentRow()) return 0;
    if (!full->ColExists("Quantità")) return 1;
    return Variant(full->ColNumber("Quantità")).toLong();
}
