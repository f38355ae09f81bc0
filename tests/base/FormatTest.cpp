// Display formats under Italian settings.
#include <gtest/gtest.h>

#include "base/DateUtil.h"
#include "base/Format.h"

namespace {

TEST(Format, DigitPatterns) {
    EXPECT_EQ(VbFormat(Variant(int32_t(7)), "0000"), "0007");
    EXPECT_EQ(VbFormat(Variant(int32_t(12)), "000"), "012");
    EXPECT_EQ(VbFormat(Variant(int32_t(12345)), "000"), "12345");
    EXPECT_EQ(VbFormat(Variant::null(), "0000"), "");
    EXPECT_EQ(VbFormat(Variant(1234.5), "#,##0.00"), "1.234,50");
    EXPECT_EQ(VbFormat(Variant(-1234.5), "#,##0.00"), "-1.234,50");
    EXPECT_EQ(VbFormat(Variant(0.5), "0%"), "50%");
    EXPECT_EQ(VbFormat(Variant(3.0), "0.##"), "3");
    EXPECT_EQ(VbFormat(Variant(-3.0), "0;(0)"), "(3)");
}

TEST(Format, DatePatterns) {
    const Variant d = Variant::fromDate(MakeOleDate(2024, 3, 5, 8, 7, 9));
    EXPECT_EQ(VbFormat(d, "dd/mm/yyyy"), "05/03/2024");
    EXPECT_EQ(VbFormat(d, "hh:nn"), "08:07");
    EXPECT_EQ(VbFormat(d, "hh:mm"), "08:07");  // "mm" after hours is minutes
    EXPECT_EQ(VbFormat(d, "d mmmm yyyy"), "5 marzo 2024");
}

}  // namespace
