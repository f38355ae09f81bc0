// Money on ten-thousandths: a double becomes money with one rounding, halves to even; an amount
// scaled by a fraction keeps its product exact and rounds once.
#include <gtest/gtest.h>

#include <cstdint>

#include "ErrorOf.h"
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

TEST(Currency, MulDivRoundsTheExactProductOnce) {
    struct Case {
        int64_t raw, multiplier, divisor, result;
    } cases[] = {
        {1, 30, 60, 0},    // 0,00005: a half, to even
        {3, 30, 60, 2},    // 0,00015
        {-3, 30, 60, -2},  // halves away from zero alike
        {3, -30, 60, -2},
        {3, 30, -60, -2},
        {123457, 30, 60, 61728},         // 6,17285 down to the even 6,1728
        {123459, 30, 60, 61730},         // 6,17295 up to 6,1730
        {1669529, 599, 60, 16667465},    // 0,5166 of a unit: up, never taken for a half
        {INT64_MAX, 60, 60, INT64_MAX},  // the product may pass the range on the way
        {INT64_MIN, 60, 60, INT64_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Currency::fromRaw(c.raw).mulDiv(c.multiplier, c.divisor).raw(), c.result)
            << c.raw << " * " << c.multiplier << " / " << c.divisor;
    EXPECT_EQ(ErrorOf([] { Currency::fromRaw(INT64_MAX).mulDiv(61, 60); }), 6);
    EXPECT_EQ(ErrorOf([] { Currency::fromRaw(1).mulDiv(1, 0); }), 11);
}

}  // namespace
