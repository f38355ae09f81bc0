// The string, character and text-array built-ins: results, subtypes, Null and argument errors.
#include "BuiltinTestSupport.h"

#include <QStringList>

#include "base/VArray.h"

using namespace builtintest;

namespace {

const Variant kNull = Variant::null();

TEST(BuiltinStrings, LengthsAndPieces) {
    CheckCases({
        {"Len", {"abc"}, VarType::Long, "3"},
        {"Len", {""}, VarType::Long, "0"},
        {"Len", {Variant()}, VarType::Long, "0"},
        {"Len", {12.5}, VarType::Long, "4"},  // "12,5"
        {"Len", {kNull}, VarType::Null, ""},
        {"Len", {Obj("abcd")}, VarType::Long, "4"},
        {"Len", {Obj(kNull)}, VarType::Null, ""},
        {"Left", {"test", 2}, VarType::String, "te"},
        {"Left", {"test", 5}, VarType::String, "test"},
        {"Left", {"123456", 1.5}, VarType::String, "12"},
        {"Left", {"123456", 2.5}, VarType::String, "12"},
        {"Left", {123, "2"}, VarType::String, "12"},
        {"Left", {kNull, 1}, VarType::Null, ""},
        {"Right", {"test", 3}, VarType::String, "est"},
        {"Right", {"test", Variant()}, VarType::String, ""},
        {"Right", {kNull, 0}, VarType::Null, ""},
        {"Mid", {"test", 2, 2}, VarType::String, "es"},
        {"Mid", {"test", 2}, VarType::String, "est"},
        {"Mid", {"test", 2, 10}, VarType::String, "est"},
        {"Mid", {"test", 5}, VarType::String, ""},
        {"Mid", {1234, 1, 2}, VarType::String, "12"},
        {"Mid", {kNull, 1, 2}, VarType::Null, ""},
    });
    CheckErrors({
        {"Left", {"test", -1}, 5},
        {"Left", {"test", kNull}, 94},
        {"Right", {kNull, -1}, 5},
        {"Mid", {"test", 0}, 5},
        {"Mid", {"test", "a", kNull}, 94},
        {"Mid", {"test", "a", Variant()}, 13},
        {"Mid", {"test", 1, -1}, 5},
        {"Mid", {kNull, -1, -1}, 5},
        {"Mid", {"test", kNull, 2}, 94},
        {"Mid", {"test", Missing(), 2}, 449},
        {"Len", {VArray::fromList({1, 2})}, 13},
    });
}

TEST(BuiltinStrings, InStrTakesStartOnlyWithThreeArguments) {
    CheckCases({
        {"InStr", {"abcd", "bc"}, VarType::Long, "2"},
        {"InStr", {1, "abcd", "bc"}, VarType::Long, "2"},
        {"InStr", {3, "abcd", "bc"}, VarType::Long, "0"},
        {"InStr", {2.6, "abcd", "bc"}, VarType::Long, "0"},
        {"InStr", {2.3, "abcd", "bc"}, VarType::Long, "2"},
        {"InStr", {3, "abcdefgh", "FG", 0}, VarType::Long, "0"},
        {"InStr", {3, "abcdefgh", "FG", 1}, VarType::Long, "6"},
        {"InStr", {3, "abcdefgh", "FG", 1.4}, VarType::Long, "6"},
        {"InStr", {2, "abcABC", "ab", 1}, VarType::Long, "4"},
        {"InStr", {1, 23456, 45, 0}, VarType::Long, "3"},
        {"InStr", {4, "abcdef", "", 0}, VarType::Long, "4"},
        {"InStr", {20, "abcdef", "", 0}, VarType::Long, "0"},
        {"InStr", {4, "", "", 0}, VarType::Long, "0"},
        {"InStr", {"abcd", kNull}, VarType::Null, ""},
        {"InStr", {2, kNull, "abcd", 0}, VarType::Null, ""},
        {"InStr", {"àèìòù", "Ò", Missing()}, VarType::Long, "0"},
    });
    CheckErrors({
        {"InStr", {kNull, "abcd", "abcd", 0}, 94},
        {"InStr", {2, "abcd", "abcd", kNull}, 94},
        {"InStr", {-20, "abcd", "abcd", 1}, 5},
        {"InStr", {2, "abcd", "abcd", 10}, 5},
        {"InStr", {"x", "abcd", "b"}, 13},
    });
}

TEST(BuiltinStrings, InStrRevFindsTheLastMatchEndingBeforeStart) {
    CheckCases({
        {"InStrRev", {"bcabcd", "bc"}, VarType::Long, "4"},
        {"InStrRev", {"abcd", "bc", 3}, VarType::Long, "2"},
        {"InStrRev", {"abcd", "bc", 2}, VarType::Long, "0"},
        {"InStrRev", {"abcd", "b", 2}, VarType::Long, "2"},
        {"InStrRev", {"abcd", "bc", 5}, VarType::Long, "0"},
        {"InStrRev", {"abcd", "bc", 2.6}, VarType::Long, "2"},
        {"InStrRev", {1234, 34}, VarType::Long, "3"},
        {"InStrRev", {"abcd", "Ab", -1, 1}, VarType::Long, "1"},
        {"InStrRev", {"abcd", "cd", 3, 1}, VarType::Long, "0"},
        {"InStrRev", {"abcd", "", 3, 1}, VarType::Long, "3"},
        {"InStrRev", {"", "", 3, 0}, VarType::Long, "0"},
    });
    CheckErrors({
        {"InStrRev", {"abcd", kNull, 2, 0}, 94},
        {"InStrRev", {kNull, "abcd", 2, 0}, 94},
        {"InStrRev", {"abcd", "abcd", kNull, 0}, 94},
        {"InStrRev", {"abcd", "abcd", -20, 1}, 5},
        {"InStrRev", {"abcd", "abcd", 0, 1}, 5},
        {"InStrRev", {"abcd", "abcd", 2, 10}, 5},
    });
}

TEST(BuiltinStrings, ReplaceStartsItsResultAtStart) {
    CheckCases({
        {"Replace", {"xx testxx(xx)", "xx", "!"}, VarType::String, "! test!(!)"},
        {"Replace", {"", "x", "y"}, VarType::String, ""},
        {"Replace", {"xxx", "", "y"}, VarType::String, "xxx"},
        {"Replace", {"yxxy", "x", ""}, VarType::String, "yy"},
        {"Replace", {"xxxxx", "xx", "y"}, VarType::String, "yyx"},
        {"Replace", {123, 2, 6}, VarType::String, "163"},
        {"Replace", {"xx testxx(xx)", "xx", "!", 2}, VarType::String, "x test!(!)"},
        {"Replace", {"xx testxx(xx)", "xx", "!", 2000}, VarType::String, ""},
        {"Replace", {"xxx", "", "y", 2}, VarType::String, "xx"},
        {"Replace", {"xx testxx(xx)", "xx", "!", 1, 2}, VarType::String, "! test!(xx)"},
        {"Replace", {"xx testxx(xx)", "xx", "!", 1, 0}, VarType::String, "xx testxx(xx)"},
        {"Replace", {"Aa testAAa(aa)", "aa", "!", 1, 2, 1}, VarType::String, "! test!a(aa)"},
        {"Replace", {"aa testAa(aa)", "aa", "!", 2, 2, 0}, VarType::String, "a testAa(!)"},
        {"Replace", {"aa testaa(aa)", "A", "!", 1, -1, 1}, VarType::String, "!! test!!(!!)"},
        {"Replace", {"1.234,5", ".", "", Missing(), Missing(), Missing()}, VarType::String, "1234,5"},
    });
    CheckErrors({
        {"Replace", {"xx", "x", "y", -1}, 5},
        {"Replace", {"xx", "x", "y", 0}, 5},
        {"Replace", {"xx", "x", "y", 1, -2}, 5},
        {"Replace", {kNull, "x", "y"}, 94},
        {"Replace", {"xx", kNull, "y"}, 94},
        {"Replace", {"xx", "x", kNull}, 94},
        {"Replace", {"xx", "x", "y", 1, 1, 8}, 5},
    });
}

TEST(BuiltinStrings, CaseTrimsAndPadding) {
    CheckCases({
        {"Trim", {"   test    "}, VarType::String, "test"},
        {"LTrim", {"   test    "}, VarType::String, "test    "},
        {"RTrim", {"   test    "}, VarType::String, "   test"},
        {"Trim", {"\ttest\t"}, VarType::String, "\ttest\t"},
        {"Trim", {123}, VarType::String, "123"},
        {"Trim", {kNull}, VarType::Null, ""},
        {"UCase", {"123aBC?è"}, VarType::String, "123ABC?È"},
        {"LCase", {"123aBC?È"}, VarType::String, "123abc?è"},
        {"UCase", {"straße"}, VarType::String, "STRAßE"},
        {"UCase", {0.5}, VarType::String, "0,5"},
        {"UCase", {Variant()}, VarType::String, ""},
        {"UCase", {kNull}, VarType::Null, ""},
        {"LCase", {kNull}, VarType::Null, ""},
        {"Space", {5.5}, VarType::String, "      "},
        {"Space", {4.5}, VarType::String, "    "},
        {"Space", {false}, VarType::String, ""},
        {"String", {3, "xy"}, VarType::String, "xxx"},
        {"String", {"3", 65}, VarType::String, "AAA"},
        {"String", {2, 128 + 256}, VarType::String, "€€"},
        {"String", {0, "z"}, VarType::String, ""},
        {"String", {3, kNull}, VarType::Null, ""},
        {"StrReverse", {"test"}, VarType::String, "tset"},
        {"StrReverse", {123}, VarType::String, "321"},
        {"StrReverse", {""}, VarType::String, ""},
    });
    CheckErrors({
        {"Space", {-1}, 5},
        {"Space", {"-1"}, 5},
        {"Space", {kNull}, 94},
        {"String", {-2, "x"}, 5},
        {"String", {3, ""}, 5},
        {"String", {0, ""}, 5},
        {"String", {kNull, "x"}, 94},
        {"StrReverse", {kNull}, 94},
    });
}

TEST(BuiltinStrings, HugeTextsRaiseOutOfStringSpaceBeforeTakingMemory) {
    const QString tenThousand(10000, QLatin1Char('a'));
    CheckErrors({
        {"Space", {70000000}, 14},
        {"String", {2000000000, "x"}, 14},
        {"Replace", {tenThousand, "a", tenThousand}, 14},
        {"Join", {VArray::fromList({tenThousand, Call("Space", {67105000})})}, 14},
    });
    EXPECT_EQ(Call("Replace", {tenThousand, "a", "bb"}).stringValue().size(), 20000);
}

TEST(BuiltinStrings, StrCompIsBinaryUnlessAskedForText) {
    CheckCases({
        {"StrComp", {"ABC", "abc"}, VarType::Integer, "-1"},
        {"StrComp", {"abc", "ABC", 0}, VarType::Integer, "1"},
        {"StrComp", {"ABC", "abc", 1}, VarType::Integer, "0"},
        {"StrComp", {"ABCD", "ABC", 1}, VarType::Integer, "1"},
        {"StrComp", {"ABC", "ABCD", "1"}, VarType::Integer, "-1"},
        {"StrComp", {"1", 1, 1}, VarType::Integer, "0"},
        {"StrComp", {Variant(), ""}, VarType::Integer, "0"},
        {"StrComp", {Variant(), "ABC"}, VarType::Integer, "-1"},
        {"StrComp", {kNull, "a"}, VarType::Null, ""},
    });
    CheckErrors({{"StrComp", {"a", "b", 3}, 5}, {"StrComp", {"a", "b", kNull}, 94}});
}

TEST(BuiltinStrings, CharacterCodesUseTheWesternCodePage) {
    CheckCases({
        {"Chr", {120}, VarType::String, "x"},
        {"Chr", {120.5}, VarType::String, "x"},
        {"Chr", {119.5}, VarType::String, "x"},
        {"Chr", {"120"}, VarType::String, "x"},
        {"Chr", {128}, VarType::String, "€"},
        {"Chr", {232}, VarType::String, "è"},
        {"ChrW", {8364}, VarType::String, "€"},
        {"Asc", {"T"}, VarType::Integer, "84"},
        {"Asc", {"test"}, VarType::Integer, "116"},
        {"Asc", {3}, VarType::Integer, "51"},
        {"Asc", {"€"}, VarType::Integer, "128"},
        {"Asc", {"è"}, VarType::Integer, "232"},
        {"Asc", {"Ω"}, VarType::Integer, "63"},
        {"AscW", {"€"}, VarType::Integer, "8364"},
        {"AscW", {QString(QChar(0xFFFF))}, VarType::Integer, "-1"},
    });
    EXPECT_EQ(Call("Chr", {0}).stringValue(), QString(QChar(0)));
    EXPECT_EQ(Call("ChrW", {-1}).stringValue(), QString(QChar(0xFFFF)));
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(Call("Asc", {Call("Chr", {code})}).toLong(), code) << code;
    CheckErrors({
        {"Chr", {-1}, 5},
        {"Chr", {256}, 5},
        {"Chr", {kNull}, 94},
        {"ChrW", {65536}, 5},
        {"ChrW", {-32769}, 5},
        {"Asc", {""}, 5},
        {"Asc", {Variant()}, 5},
        {"Asc", {kNull}, 94},
        {"AscW", {""}, 5},
    });
}

// The items of an array result as "a|b|c", with its upper bound.
QString itemsOf(const Variant& v, int32_t& upper) {
    EXPECT_TRUE(v.isArray());
    if (!v.isArray()) return {};
    upper = v.arrayValue()->ubound();
    EXPECT_EQ(v.arrayValue()->lbound(), 0);
    QStringList items;
    for (const Variant& item : v.arrayValue()->data()) {
        EXPECT_EQ(item.type(), VarType::String);
        items << item.toText();
    }
    return items.join(QLatin1Char('|'));
}

TEST(BuiltinStrings, SplitJoinAndFilter) {
    struct SplitCase {
        VariantList args;
        const char* items;
        int32_t upper;
    } splits[] = {
        {{"abc"}, "abc", 0},
        {{"abc def ghi"}, "abc|def|ghi", 2},
        {{"abc def", ""}, "abc def", 0},
        {{"abc--def", "-"}, "abc||def", 2},
        {{"abcdefghi", "def"}, "abc|ghi", 1},
        {{"12345", 5}, "1234|", 1},
        {{"abc-def-ghi", "-", 2}, "abc|def-ghi", 1},
        {{"abc-def-ghi", "-", 4}, "abc|def|ghi", 2},
        {{"abcZdefZghi", "z", 3, 0}, "abcZdefZghi", 0},
        {{"abcZdefZghi", "z", 3, 1}, "abc|def|ghi", 2},
        {{"", ","}, "", -1},
        {{"a,b", ",", 0}, "", -1},
    };
    for (const SplitCase& c : splits) {
        int32_t upper = -2;
        EXPECT_EQ(itemsOf(Call("Split", c.args), upper), QString::fromUtf8(c.items)) << c.items;
        EXPECT_EQ(upper, c.upper) << c.items;
    }
    CheckErrors({
        {"Split", {"a-b", "-", -1, 2}, 5},
        {"Split", {"a-b", "-", -42, 0}, 5},
        {"Split", {kNull, "-"}, 94},
        {"Split", {"a-b", kNull}, 94},
        {"Split", {"a-b", "-", kNull}, 94},
    });

    const Variant parts = VArray::fromList({"a", 1.5, true, Variant()});
    CheckCases({
        {"Join", {parts}, VarType::String, "a 1,5 True "},
        {"Join", {parts, ";"}, VarType::String, "a;1,5;True;"},
        {"Join", {parts, ""}, VarType::String, "a1,5True"},
        {"Join", {VArray::fromList({})}, VarType::String, ""},
    });
    CheckErrors({
        {"Join", {"abc"}, 13},
        {"Join", {VArray(std::vector<VArray::Bound>{{0, 2}, {0, 2}})}, 13},
        {"Join", {parts, kNull}, 94},
        {"Join", {VArray::fromList({"a", kNull})}, 94},
    });

    const Variant words = VArray::fromList({"Lunedì", "martedì", "Sabato", "domenica"});
    int32_t upper = 0;
    EXPECT_EQ(itemsOf(Call("Filter", {words, "ed"}), upper), QStringLiteral("Lunedì|martedì"));
    EXPECT_EQ(itemsOf(Call("Filter", {words, "ed", false}), upper), QStringLiteral("Sabato|domenica"));
    EXPECT_EQ(itemsOf(Call("Filter", {words, "s"}), upper), QString());
    EXPECT_EQ(upper, -1);
    EXPECT_EQ(itemsOf(Call("Filter", {words, "s", true, 1}), upper), QStringLiteral("Sabato"));
    CheckErrors({{"Filter", {"abc", "a"}, 13}, {"Filter", {kNull, "a"}, 94}, {"Filter", {words, kNull}, 94}});
}

TEST(BuiltinStrings, ArrayMakesAVariantArrayFromZero) {
    const Variant a = Call("Array", {"a1", Int(2), "a3"});
    ASSERT_TRUE(a.isArray());
    EXPECT_EQ(a.arrayValue()->lbound(), 0);
    EXPECT_EQ(a.arrayValue()->ubound(), 2);
    EXPECT_EQ(a.arrayValue()->data()[1].type(), VarType::Integer);
    EXPECT_EQ(a.arrayValue()->data()[2].stringValue(), QStringLiteral("a3"));
    const Variant none = Call("Array", {});
    ASSERT_TRUE(none.isArray());
    EXPECT_EQ(none.arrayValue()->ubound(), -1);
}

}  // namespace
