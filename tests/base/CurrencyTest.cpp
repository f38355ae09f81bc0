// Money on ten-thousandths: a double becomes money with one rounding, halves to even.
#include <gtest/gtest.h>

#include <cstdint>

#include "base/Currency.h"

namespace {

TEST(Currency, FromDoubleRoundsOnlyDecimalHalvesToEven) {
    struct Case {
        double in;
        int64_t raw;
    } cases[] = {
        {0.00005, 0},
        {0.00015, 2},
        {-0.00015, -2},
        {50000.00005, 500000000},
        {50000.00015, 500000002},
        {123456789.12345, 1234567891234},
        // True fractions near a half round to the nearer neighbour, large amounts included.
        {1666.74645166, 16667465},
        {1666.74644834, 16667464},
        {25833.33333333, 258333333},
        {100001.66666667, 1000016667},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Currency::fromDouble(c.in).raw(), c.raw) << c.in;
}

}  // namespace
