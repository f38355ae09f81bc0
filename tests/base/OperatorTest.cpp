// VB's operators: result types, overflow promotion, Null propagation, comparisons.
#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/VariantOps.h"

namespace {

TEST(Operators, ResultTypesAndPromotion) {
    const Variant i1(int16_t(1)), i32767(int16_t(32767));
    EXPECT_EQ(VbAdd(i1, i1).type(), VarType::Integer);
    EXPECT_EQ(VbAdd(i32767, i1).type(), VarType::Long);  // Integer overflow moves up
    EXPECT_EQ(VbAdd(i32767, i1).toLong(), 32768);
    EXPECT_EQ(VbAdd(Variant(int32_t(2147483647)), i1).type(), VarType::Double);
    EXPECT_EQ(VbAdd(Variant(float(1)), Variant(int32_t(1))).type(), VarType::Double);
    EXPECT_EQ(VbAdd(Variant(Currency::fromLong(1)), Variant(0.5)).type(), VarType::Currency);
    EXPECT_EQ(VbAdd(Variant("1"), Variant("2")).toString(), "12");
    EXPECT_EQ(VbAdd(Variant("1,5"), Variant(int16_t(2))).toDouble(), 3.5);
    EXPECT_EQ(VbAdd(Variant(), Variant()).type(), VarType::Integer);
    EXPECT_EQ(VbDiv(Variant(int16_t(1)), Variant(int16_t(4))).toDouble(), 0.25);
    EXPECT_EQ(VbMul(Variant(int16_t(200)), Variant(int16_t(200))).toLong(), 40000);
    EXPECT_EQ(VbNeg(Variant(int16_t(-32768))).toLong(), 32768);
}

TEST(Operators, CurrencyStaysExact) {
    Variant sum(Currency::fromLong(0));
    for (int i = 0; i < 10; ++i)
        sum = VbAdd(sum, Variant(Currency::fromRaw(1000)));  // 0,1 ten times
    EXPECT_EQ(sum.currencyValue().raw(), 10000);
    EXPECT_EQ(ErrorOf([] { VbAdd(Variant(Currency::fromRaw(INT64_MAX)), Variant(Currency::fromRaw(1))); }),
              6);
}

TEST(Operators, IntegerDivisionAndModRoundOperandsHalfToEven) {
    EXPECT_EQ(VbIntDiv(Variant(7.5), Variant(int16_t(2))).toLong(), 4);  // 8 \ 2
    EXPECT_EQ(VbIntDiv(Variant(6.5), Variant(int16_t(2))).toLong(), 3);  // 6 \ 2
    EXPECT_EQ(VbIntDiv(Variant(int16_t(-7)), Variant(int16_t(2))).toLong(), -3);
    EXPECT_EQ(VbMod(Variant(int16_t(-7)), Variant(int16_t(3))).toLong(), -1);
    EXPECT_EQ(VbMod(Variant(5.5), Variant(int16_t(4))).toLong(), 2);  // 6 Mod 4
    EXPECT_EQ(ErrorOf([] { VbIntDiv(Variant(1), Variant(0)); }), 11);
    EXPECT_EQ(ErrorOf([] { VbDiv(Variant(1), Variant(0)); }), 11);
    EXPECT_EQ(ErrorOf([] { VbDiv(Variant(0), Variant(0)); }), 6);
    EXPECT_EQ(ErrorOf([] { VbAdd(Variant("x"), Variant(1)); }), 13);
}

TEST(Operators, NullPropagates) {
    const Variant n = Variant::null(), one(int16_t(1));
    for (auto op : {VbAdd, VbSub, VbMul, VbDiv, VbIntDiv, VbMod, VbPow}) {
        EXPECT_TRUE(op(n, one).isNull());
        EXPECT_TRUE(op(one, n).isNull());
    }
    EXPECT_TRUE(VbNeg(n).isNull());
    EXPECT_TRUE(VbNot(n).isNull());
    EXPECT_TRUE(VbCompareOp(CompareOp::Eq, n, n).isNull());
    EXPECT_TRUE(VbCompareOp(CompareOp::Lt, one, n).isNull());
    EXPECT_EQ(VbConcat(n, Variant("x")).toString(), "x");
    EXPECT_TRUE(VbConcat(n, n).isNull());
    // Three-valued logic.
    EXPECT_FALSE(VbAnd(n, Variant(false)).toBool());
    EXPECT_TRUE(VbAnd(n, Variant(true)).isNull());
    EXPECT_TRUE(VbOr(n, Variant(true)).toBool());
    EXPECT_TRUE(VbOr(n, Variant(false)).isNull());
}

TEST(Operators, LogicalAndBitwise) {
    EXPECT_EQ(VbNot(Variant(true)).type(), VarType::Boolean);
    EXPECT_EQ(VbNot(Variant(int16_t(0))).toLong(), -1);
    EXPECT_EQ(VbAnd(Variant(int16_t(12)), Variant(int16_t(10))).toLong(), 8);
    EXPECT_EQ(VbOr(Variant(int16_t(12)), Variant(int16_t(3))).toLong(), 15);
    EXPECT_EQ(VbXor(Variant(true), Variant(true)).toBool(), false);
    EXPECT_EQ(Variant(true).toLong(), -1);
}

TEST(Operators, ComparisonsAndEquality) {
    EXPECT_EQ(*VbCompare(Variant("a"), Variant("B")), 1);  // binary: "a" after "B"
    EXPECT_EQ(*VbCompare(Variant("a"), Variant("B"), true), -1);
    EXPECT_EQ(*VbCompare(Variant(int16_t(5)), Variant("5")), -1);  // a number is less than a text
    EXPECT_EQ(*VbCompare(Variant(), Variant(int16_t(0))), 0);
    EXPECT_EQ(*VbCompare(Variant(), Variant("")), 0);
    EXPECT_EQ(*VbCompare(Variant(2.0), Variant(int32_t(2))), 0);
    EXPECT_TRUE(ValuesEqual(Variant::null(), Variant::null()));
    EXPECT_FALSE(ValuesEqual(Variant::null(), Variant(int16_t(0))));
    EXPECT_TRUE(ValuesEqual(Variant(Currency::fromLong(3)), Variant(3.0)));
}

TEST(Operators, DateArithmetic) {
    const Variant d = Variant::fromDate(MakeOleDate(2024, 2, 28, 12, 0, 0));
    const Variant next = VbAdd(d, Variant(int16_t(1)));
    EXPECT_EQ(next.type(), VarType::Date);
    EXPECT_EQ(next.toString(), "29/02/2024 12:00:00");
    EXPECT_EQ(VbSub(next, d).type(), VarType::Double);
    EXPECT_DOUBLE_EQ(VbSub(next, d).toDouble(), 1.0);
}

}  // namespace
