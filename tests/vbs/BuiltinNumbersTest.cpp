// Conversion and math built-ins: subtypes kept or chosen, banker's rounding, Null and range errors.
#include "BuiltinTestSupport.h"

#include <limits>

#include "base/DateUtil.h"
#include "base/VArray.h"

using namespace builtintest;

namespace {

const Variant kNull = Variant::null();
Variant cur(double v) {
    return Variant(Currency::fromDouble(v));
}

TEST(BuiltinConversions, ResultSubtypesAndRounding) {
    CheckCases({
        {"CStr", {12.5}, VarType::String, "12,5"},
        {"CStr", {true}, VarType::String, "True"},
        {"CStr", {Variant()}, VarType::String, ""},
        {"CStr", {Obj(3)}, VarType::String, "3"},
        {"CInt", {-36.5}, VarType::Integer, "-36"},
        {"CInt", {36.5}, VarType::Integer, "36"},
        {"CInt", {1.5}, VarType::Integer, "2"},
        {"CInt", {36.75}, VarType::Integer, "37"},
        {"CInt", {"-1"}, VarType::Integer, "-1"},
        {"CInt", {"2,5"}, VarType::Integer, "2"},
        {"CInt", {Variant()}, VarType::Integer, "0"},
        {"CInt", {true}, VarType::Integer, "-1"},
        {"CInt", {-32768.5}, VarType::Integer, "-32768"},
        {"CLng", {0.5}, VarType::Long, "0"},
        {"CLng", {1.5}, VarType::Long, "2"},
        {"CLng", {cur(2.5)}, VarType::Long, "2"},
        {"CLng", {"1.234"}, VarType::Long, "1234"},
        {"CSng", {"0,5"}, VarType::Single, "0,5"},
        {"CSng", {32768}, VarType::Single, "32768"},
        {"CDbl", {"1.234,5"}, VarType::Double, "1234,5"},
        {"CDbl", {true}, VarType::Double, "-1"},
        {"CDbl", {Obj(0.1)}, VarType::Double, "0,1"},
        {"CCur", {0.000149}, VarType::Currency, "0,0001"},
        {"CCur", {"-1"}, VarType::Currency, "-1"},
        {"CCur", {2147483647.99}, VarType::Currency, "2147483647,99"},
        {"CBool", {5}, VarType::Boolean, "True"},
        {"CBool", {-0.56}, VarType::Boolean, "True"},
        {"CBool", {Variant()}, VarType::Boolean, "False"},
        {"CBool", {"0"}, VarType::Boolean, "False"},
        {"CBool", {"TRUE"}, VarType::Boolean, "True"},
        {"CBool", {"#FALSE#"}, VarType::Boolean, "False"},
        {"CBool", {"#TRUE#"}, VarType::Boolean, "True"},
        {"CBool", {Obj(1)}, VarType::Boolean, "True"},
        {"CByte", {255.49}, VarType::Byte, "255"},
        {"CByte", {true}, VarType::Byte, "255"},
        {"CByte", {Variant()}, VarType::Byte, "0"},
        {"CDate", {1}, VarType::Date, "31/12/1899"},
        {"CDate", {"1"}, VarType::Date, "31/12/1899"},
        {"CDate", {"31/12/2024 08:30"}, VarType::Date, "31/12/2024 08:30:00"},
        {"CDate", {Variant()}, VarType::Date, "00:00:00"},
        {"CDate", {-1}, VarType::Date, "29/12/1899"},
    });
    CheckErrors({
        {"CStr", {kNull}, 94},
        {"CInt", {kNull}, 94},
        {"CLng", {kNull}, 94},
        {"CDbl", {kNull}, 94},
        {"CBool", {kNull}, 94},
        {"CDate", {kNull}, 94},
        {"CInt", {""}, 13},
        {"CInt", {"TRUE"}, 13},
        {"CInt", {32767.5}, 6},
        {"CInt", {-32768.51}, 6},
        {"CLng", {3e9}, 6},
        {"CByte", {"-1"}, 6},
        {"CByte", {"258"}, 6},
        {"CBool", {""}, 13},
        {"CBool", {"sì"}, 13},
        {"CDate", {""}, 13},
        {"CDate", {"32/01/2024"}, 13},
        {"CDate", {"1E300"}, 6},
        {"CDate", {1e300}, 6},
        {"CStr", {VArray::fromList({1})}, 13},
        {"CLng", {Obj(1, false)}, 438},
    });
}

TEST(BuiltinConversions, HexAndOctShowIntegersInSixteenBits) {
    CheckCases({
        {"Hex", {Int(0)}, VarType::String, "0"},
        {"Hex", {Int(16)}, VarType::String, "10"},
        {"Hex", {Int(-1)}, VarType::String, "FFFF"},
        {"Hex", {Int(-16)}, VarType::String, "FFF0"},
        {"Hex", {Int(-32767)}, VarType::String, "8001"},
        {"Hex", {-32768}, VarType::String, "FFFF8000"},
        {"Hex", {-934859845}, VarType::String, "C8472BBB"},
        {"Hex", {-1}, VarType::String, "FFFFFFFF"},
        {"Hex", {Variant()}, VarType::String, "0"},
        {"Hex", {"17"}, VarType::String, "11"},
        {"Hex", {228.5}, VarType::String, "E4"},
        {"Hex", {2147483647.49}, VarType::String, "7FFFFFFF"},
        {"Hex", {-2147483647.5}, VarType::String, "80000000"},
        {"Hex", {true}, VarType::String, "FFFF"},
        {"Hex", {Variant::fromByte(255)}, VarType::String, "FF"},
        {"Hex", {Obj(30.5)}, VarType::String, "1E"},
        {"Hex", {kNull}, VarType::Null, ""},
        {"Oct", {Int(9)}, VarType::String, "11"},
        {"Oct", {8.5}, VarType::String, "10"},
        {"Oct", {9.5}, VarType::String, "12"},
        {"Oct", {Int(-1)}, VarType::String, "177777"},
        {"Oct", {-32768}, VarType::String, "37777700000"},
        {"Oct", {-2147483648.5}, VarType::String, "20000000000"},
        {"Oct", {kNull}, VarType::Null, ""},
    });
    CheckErrors({{"Hex", {2147483647.5}, 6}, {"Hex", {"test"}, 13}, {"Oct", {-2147483648.51}, 6}});
}

TEST(BuiltinMath, IntFixAndRoundKeepTheSubtype) {
    const Variant date = Variant::fromDate(MakeOleDate(2024, 5, 6, 18, 0, 0));
    CheckCases({
        {"Int", {1.99}, VarType::Double, "1"},
        {"Int", {-1.99}, VarType::Double, "-2"},
        {"Fix", {-1.99}, VarType::Double, "-1"},
        {"Int", {cur(-0.99)}, VarType::Currency, "-1"},
        {"Fix", {cur(-0.99)}, VarType::Currency, "0"},
        {"Int", {Variant()}, VarType::Integer, "0"},
        {"Int", {true}, VarType::Integer, "-1"},
        {"Int", {"2,5"}, VarType::Double, "2"},
        {"Int", {float(-2.5f)}, VarType::Single, "-3"},
        {"Int", {Int(7)}, VarType::Integer, "7"},
        {"Int", {date}, VarType::Date, "06/05/2024"},
        {"Fix", {Obj(-2.5)}, VarType::Double, "-2"},
        {"Int", {kNull}, VarType::Null, ""},
        {"Round", {Int(3)}, VarType::Integer, "3"},
        {"Round", {3.3}, VarType::Double, "3"},
        {"Round", {2.5}, VarType::Double, "2"},
        {"Round", {3.5}, VarType::Double, "4"},
        {"Round", {-3.5}, VarType::Double, "-4"},
        {"Round", {-2.5}, VarType::Double, "-2"},
        {"Round", {"2"}, VarType::Double, "2"},
        {"Round", {true}, VarType::Boolean, "True"},
        {"Round", {1.2345, 2}, VarType::Double, "1,23"},
        {"Round", {0.125, 2}, VarType::Double, "0,12"},
        {"Round", {0.375, 2}, VarType::Double, "0,38"},
        {"Round", {12.5, 0}, VarType::Double, "12"},
        {"Round", {1e300, 20}, VarType::Double, "1E+300"},
        {"Round", {cur(2.345), 2}, VarType::Currency, "2,34"},
        {"Round", {cur(2.355), 2}, VarType::Currency, "2,36"},
        {"Round", {cur(-2.5), 0}, VarType::Currency, "-2"},
        {"Round", {float(2.5f)}, VarType::Single, "2"},
        {"Round", {kNull, 2}, VarType::Null, ""},
    });
    const Variant lowest = Variant(Currency::fromRaw(std::numeric_limits<int64_t>::min()));
    const Variant highest = Variant(Currency::fromRaw(std::numeric_limits<int64_t>::max()));
    CheckErrors({
        {"Round", {2.5, -1}, 5},
        {"Round", {2.5, kNull}, 94},
        {"Int", {"abc"}, 13},
        {"Int", {lowest}, 6},
        {"Round", {highest}, 6},
        {"Fix", {lowest}, 0},
    });
}

TEST(BuiltinMath, AbsSgnAndFunctions) {
    CheckCases({
        {"Abs", {Variant()}, VarType::Integer, "0"},
        {"Abs", {kNull}, VarType::Null, ""},
        {"Abs", {-32769}, VarType::Long, "32769"},
        {"Abs", {Int(-32768)}, VarType::Long, "32768"},
        {"Abs", {int32_t(-2147483647 - 1)}, VarType::Double, "2147483648"},
        {"Abs", {float(-0.5f)}, VarType::Single, "0,5"},
        {"Abs", {cur(-1)}, VarType::Currency, "1"},
        {"Abs", {"-1"}, VarType::Double, "1"},
        {"Abs", {true}, VarType::Integer, "1"},
        {"Abs", {Variant::fromByte(1)}, VarType::Byte, "1"},
        {"Sgn", {Variant()}, VarType::Integer, "0"},
        {"Sgn", {-32769}, VarType::Integer, "-1"},
        {"Sgn", {0.5}, VarType::Integer, "1"},
        {"Sgn", {cur(-1)}, VarType::Integer, "-1"},
        {"Sgn", {"-1"}, VarType::Integer, "-1"},
        {"Sgn", {true}, VarType::Integer, "-1"},
        {"Sqr", {36100}, VarType::Double, "190"},
        {"Sqr", {Variant()}, VarType::Double, "0"},
        {"Sqr", {cur(0.0625)}, VarType::Double, "0,25"},
        {"Exp", {0}, VarType::Double, "1"},
        {"Log", {1}, VarType::Double, "0"},
        {"Sin", {0}, VarType::Double, "0"},
        {"Cos", {Variant()}, VarType::Double, "1"},
        {"Tan", {0}, VarType::Double, "0"},
        {"Atn", {0}, VarType::Double, "0"},
        {"RGB", {0, 0x1f, 0xf1}, VarType::Long, "15802112"},
        {"RGB", {1, 0x100, 0x111}, VarType::Long, "16776961"},
    });
    EXPECT_NEAR(Call("Atn", {1}).toDouble() * 4, 3.14159265358979, 1e-12);
    EXPECT_NEAR(Call("Exp", {true}).toDouble(), 0.36787944117144, 1e-12);
    EXPECT_NEAR(Call("Log", {"10"}).toDouble(), 2.30258509299405, 1e-12);
    EXPECT_NEAR(Call("Sin", {float(0.5f)}).toDouble(), std::sin(0.5), 1e-7);
    CheckErrors({
        {"Sgn", {kNull}, 94},
        {"Sgn", {"x"}, 13},
        {"Abs", {"strings"}, 13},
        {"Sqr", {-2}, 5},
        {"Sqr", {true}, 5},
        {"Sqr", {kNull}, 94},
        {"Log", {0}, 5},
        {"Log", {true}, 5},
        {"Exp", {1000}, 6},
        {"RGB", {-1, 0, 0}, 5},
        {"RGB", {0, kNull, 0}, 94},
    });
}

TEST(BuiltinMath, RndRepeatsVbSequence) {
    // Rnd with a negative argument reseeds: the same seed gives the same number every time.
    const float a = Call("Rnd", {-2}).toSingle();
    EXPECT_EQ(Call("Rnd", {-2}).toSingle(), a);
    EXPECT_NE(Call("Rnd", {-1}).toSingle(), a);
    EXPECT_FLOAT_EQ(Call("Rnd", {-1}).toSingle(), 0.224007f);
    // Rnd(0) repeats the last number, Rnd() moves on.
    const Variant last = Call("Rnd", {0});
    EXPECT_EQ(last.type(), VarType::Single);
    EXPECT_FLOAT_EQ(last.toSingle(), 0.224007f);
    const float next = Call("Rnd", {}).toSingle();
    EXPECT_NE(next, last.toSingle());
    EXPECT_EQ(Call("Rnd", {0}).toSingle(), next);
    // Randomize mixes the seed into the current state: from the same state, the same sequence.
    Call("Rnd", {-1});
    EXPECT_TRUE(Call("Randomize", {123}).isEmpty());
    const float x = Call("Rnd", {}).toSingle();
    Call("Randomize", {123});
    EXPECT_NE(Call("Rnd", {}).toSingle(), x);
    Call("Rnd", {-1});
    Call("Randomize", {123});
    EXPECT_EQ(Call("Rnd", {}).toSingle(), x);
    for (int i = 0; i < 1000; ++i) {
        const float r = Call("Rnd", {}).toSingle();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

}  // namespace
