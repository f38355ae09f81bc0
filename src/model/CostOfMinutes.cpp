// The cost of worked minutes.
#include "model/CostOfMinutes.h"

#include "base/Variant.h"

Currency CostOfMinutes(const Variant& hourlyRate, int64_t minutes) {
    if (hourlyRate.isEmptyOrNull()) return Currency();
    return hourlyRate.toCurrency().mulDiv(minutes, 60);
}
