// Setting texts to Booleans, file paths, leading numbers.
#include <gtest/gtest.h>

#include "base/TextUtil.h"

namespace {

TEST(TextUtil, StrToBool) {
    for (const char* f : {" falso ", "no ", "0", "FALSE", "False", "No"})
        EXPECT_FALSE(StrToBool(f)) << f;
    for (const char* t : {"Off", "", "True", "1", "si", "00"})
        EXPECT_TRUE(StrToBool(t)) << t;
}

TEST(TextUtil, BuildPath) {
    EXPECT_EQ(BuildPath("/srv/dati", "a.b.txt", "mdb"), "/srv/dati/a.mdb");
    EXPECT_EQ(BuildPath("/srv/dati/", "ZeltoLavrix.mdb", ""), "/srv/dati/ZeltoLavrix.mdb");
    EXPECT_EQ(BuildPath("C:\\Dati\\", "x.mdb", ""), "C:\\Dati\\x.mdb");
    EXPECT_EQ(BuildPath("", "ZeltoLavrix.mdb", ""), "ZeltoLavrix.mdb");
    EXPECT_EQ(BuildPath("/d", "name", "txt"), "/d/name.txt");
}

TEST(TextUtil, LeadingNumber) {
    EXPECT_EQ(LeadingNumber("2abc"), 2);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber(" 1 2"), 12);
    EXPECT_EQ(LeadingNumber("3.75x"), 3.75);
    EXPECT_EQ(LeadingNumber("-4e2"), -400);
    EXPECT_EQ(LeadingNumber("&H10"), 16);
}

}  // namespace
