// The cost of worked minutes at an hourly rate, as the step and service rules price time.
#pragma once

#include <cstdint>

#include "base/Currency.h"

class Variant;

// `hourlyRate` (Null as 0) times `minutes` divided by 60, in the currency type: the product exact,
// one rounding to four decimals with halves to even, never a double on the way.
Currency CostOfMinutes(const Variant& hourlyRate, int64_t minutes);
