// Conversions between Variant subtypes under Italian settings.
#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/VArray.h"
#include "base/Variant.h"

namespace {

TEST(Conversion, ToStringUsesItalianSeparators) {
    struct Case {
        Variant v;
        const char* text;
    } cases[] = {
        {Variant(12.5), "12,5"},
        {Variant(-0.25), "-0,25"},
        {Variant(1234567.0), "1234567"},
        {Variant(0.1 + 0.2), "0,3"},
        {Variant(0.0001), "0,0001"},
        {Variant(0.00001), "1E-05"},
        {Variant(1e15), "1E+15"},
        {Variant(123456789012345.0), "123456789012345"},
        {Variant(1.5e20), "1,5E+20"},
        {Variant(float(3.1415926f)), "3,141593"},
        {Variant(int16_t(-7)), "-7"},
        {Variant(int32_t(100000)), "100000"},
        {Variant(Currency::fromRaw(125000)), "12,5"},
        {Variant(Currency::fromRaw(-1)), "-0,0001"},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant(), ""},
        {Variant::fromDate(MakeOleDate(2024, 3, 5)), "05/03/2024"},
        {Variant::fromDate(MakeOleDate(2024, 3, 5, 8, 30, 0)), "05/03/2024 08:30:00"},
        {Variant::fromDate(MakeOleTime(7, 40, 0)), "07:40:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.v.toString(), QString::fromUtf8(c.text)) << c.text;
}

TEST(Conversion, TextReadsAsItalianNumber) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"12,5", 12.5}, {" -3 ", -3},  {"1.234,5", 1234.5}, {"&HFF", 255},
        {"&HFFFF", -1}, {"1E3", 1000}, {"+7", 7},           {"0,5e1", 5},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(Variant(c.text).toDouble(), c.value) << c.text;
    EXPECT_EQ(ErrorOf([] { Variant("abc").toDouble(); }), 13);
    EXPECT_EQ(ErrorOf([] { Variant("").toLong(); }), 13);
    EXPECT_EQ(ErrorOf([] { Variant("1,2,3").toDouble(); }), 13);
}

TEST(Conversion, WholeNumbersRoundHalfToEven) {
    struct Case {
        double in;
        int32_t out;
    } cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},    {3.5, 4},   {-0.5, 0},
                 {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(Variant(c.in).toLong(), c.out) << c.in;
        EXPECT_EQ(Variant(c.in).toInteger(), c.out) << c.in;
    }
    EXPECT_EQ(Variant("2,5").toInteger(), 2);
    EXPECT_EQ(Variant(Currency::fromRaw(25000)).toLong(), 2);
    EXPECT_EQ(Variant(Currency::fromRaw(35000)).toLong(), 4);
    EXPECT_EQ(Variant(Currency::fromRaw(-25000)).toLong(), -2);
    EXPECT_EQ(Currency::fromDouble(0.00005).raw(), 0);
    EXPECT_EQ(Currency::fromDouble(0.00015).raw(), 2);
}

TEST(Conversion, OutOfRangeOverflows) {
    EXPECT_EQ(ErrorOf([] { Variant(32767.5).toInteger(); }), 6);
    EXPECT_EQ(Variant(32767.4).toInteger(), 32767);
    EXPECT_EQ(ErrorOf([] { Variant(-32768.6).toInteger(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant(2147483648.0).toLong(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant(256).toByte(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant(1e300).toCurrency(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant(1e300).toSingle(); }), 6);
}

TEST(Conversion, NullWhereNoneIsAllowed) {
    EXPECT_EQ(ErrorOf([] { Variant::null().toLong(); }), 94);
    EXPECT_EQ(ErrorOf([] { Variant::null().toString(); }), 94);
    EXPECT_EQ(ErrorOf([] { Variant::null().toBool(); }), 94);
    EXPECT_EQ(Variant::null().toText(), QString());
    EXPECT_TRUE(Variant::null().convert(VarType::Long).isNull());
}

TEST(Conversion, BooleansAndEmpty) {
    EXPECT_EQ(Variant(true).toLong(), -1);
    EXPECT_EQ(Variant().toLong(), 0);
    EXPECT_TRUE(Variant("True").toBool());
    EXPECT_FALSE(Variant("falso").toBool());
    EXPECT_TRUE(Variant("-1").toBool());
    EXPECT_FALSE(Variant("0").toBool());
    EXPECT_EQ(ErrorOf([] { Variant("forse").toBool(); }), 13);
    EXPECT_TRUE(Variant(2.0).toBool());
}

TEST(Conversion, TextReadsAsItalianDate) {
    EXPECT_EQ(Variant("31/12/2024").toDate(), MakeOleDate(2024, 12, 31));
    EXPECT_EQ(Variant("1/2/24").toDate(), MakeOleDate(2024, 2, 1));
    EXPECT_EQ(Variant("31/12/2024 08:30").toDate(), MakeOleDate(2024, 12, 31, 8, 30));
    EXPECT_EQ(Variant("2024-12-31 08:30:15").toDate(), MakeOleDate(2024, 12, 31, 8, 30, 15));
    EXPECT_DOUBLE_EQ(Variant("07:40").toDate(), MakeOleTime(7, 40, 0));
    EXPECT_EQ(ErrorOf([] { Variant("31/02/2024").toDate(); }), 13);
    EXPECT_EQ(ErrorOf([] { Variant("25:00").toDate(); }), 13);
}

TEST(Conversion, TypeNamesAndArrays) {
    EXPECT_EQ(Variant(int16_t(1)).typeName(), "Integer");
    EXPECT_EQ(Variant::null().typeName(), "Null");
    EXPECT_EQ(Variant::nothing().typeName(), "Nothing");
    EXPECT_TRUE(Variant::missing().isMissing());

    VArray a({{0, 3}});
    a.at1(2) = Variant(5);
    Variant v(a);
    Variant copy = v;  // arrays are values
    copy.arrayValue()->at1(2) = Variant(9);
    EXPECT_EQ(v.arrayValue()->at1(2).toLong(), 5);
    EXPECT_EQ(ErrorOf([&] { v.arrayValue()->at1(3); }), 9);

    VArray m({{1, 2}, {0, 2}});
    m.at({2, 1}) = Variant("x");
    m.redim({{1, 2}, {0, 4}}, true);
    EXPECT_EQ(m.at({2, 1}).toString(), "x");
    EXPECT_EQ(m.ubound(2), 3);
    EXPECT_EQ(ErrorOf([&] { m.redim({{1, 3}, {0, 4}}, true); }), 9);
}

}  // namespace
