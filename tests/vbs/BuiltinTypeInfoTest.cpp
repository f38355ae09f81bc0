// Type tests, prompts, the named constants and the table itself.
#include "BuiltinTestSupport.h"

#include <QSet>

#include "base/DateUtil.h"
#include "base/VArray.h"

using namespace builtintest;

namespace {

const Variant kNull = Variant::null();

TEST(BuiltinTypeInfo, TestsLookAtTheValue) {
    const Variant list = VArray::fromList({2, 3});
    const Variant date = Variant::fromDate(MakeOleDate(2000, 1, 1));
    CheckCases({
        {"IsNull", {kNull}, VarType::Boolean, "True"},
        {"IsNull", {Variant()}, VarType::Boolean, "False"},
        {"IsNull", {Obj(kNull)}, VarType::Boolean, "False"},
        {"IsEmpty", {Variant()}, VarType::Boolean, "True"},
        {"IsEmpty", {""}, VarType::Boolean, "False"},
        {"IsEmpty", {Variant::nothing()}, VarType::Boolean, "False"},
        {"IsObject", {Variant::nothing()}, VarType::Boolean, "True"},
        {"IsObject", {Obj(1)}, VarType::Boolean, "True"},
        {"IsObject", {"x"}, VarType::Boolean, "False"},
        {"IsArray", {list}, VarType::Boolean, "True"},
        {"IsArray", {kNull}, VarType::Boolean, "False"},
        {"IsNumeric", {Variant()}, VarType::Boolean, "True"},
        {"IsNumeric", {kNull}, VarType::Boolean, "False"},
        {"IsNumeric", {32768.4}, VarType::Boolean, "True"},
        {"IsNumeric", {true}, VarType::Boolean, "True"},
        {"IsNumeric", {"44"}, VarType::Boolean, "True"},
        {"IsNumeric", {"1.234,5"}, VarType::Boolean, "True"},
        {"IsNumeric", {" -3 "}, VarType::Boolean, "True"},
        {"IsNumeric", {"&HFF"}, VarType::Boolean, "True"},
        {"IsNumeric", {"1.5x"}, VarType::Boolean, "False"},
        {"IsNumeric", {"rwrf"}, VarType::Boolean, "False"},
        {"IsNumeric", {date}, VarType::Boolean, "False"},
        {"IsNumeric", {list}, VarType::Boolean, "False"},
        {"IsNumeric", {Variant::nothing()}, VarType::Boolean, "False"},
        {"IsNumeric", {Obj(1)}, VarType::Boolean, "True"},
        {"IsNumeric", {Obj("test")}, VarType::Boolean, "False"},
        {"IsNumeric", {Obj(1, false)}, VarType::Boolean, "False"},
        {"IsDate", {date}, VarType::Boolean, "True"},
        {"IsDate", {"31/12/2024"}, VarType::Boolean, "True"},
        {"IsDate", {"31/12/2024 08:30"}, VarType::Boolean, "True"},
        {"IsDate", {"31/02/2024"}, VarType::Boolean, "False"},
        {"IsDate", {"4"}, VarType::Boolean, "False"},
        {"IsDate", {4}, VarType::Boolean, "False"},
        {"IsDate", {Variant()}, VarType::Boolean, "False"},
        {"IsDate", {Variant::nothing()}, VarType::Boolean, "False"},
        {"IsDate", {Obj("01/01/2000")}, VarType::Boolean, "True"},
    });
}

TEST(BuiltinTypeInfo, TypeNameAndVarType) {
    CheckCases({
        {"TypeName", {Variant::nothing()}, VarType::String, "Nothing"},
        {"TypeName", {Variant()}, VarType::String, "Empty"},
        {"TypeName", {kNull}, VarType::String, "Null"},
        {"TypeName", {Variant::fromByte(255)}, VarType::String, "Byte"},
        {"TypeName", {Int(255)}, VarType::String, "Integer"},
        {"TypeName", {32768}, VarType::String, "Long"},
        {"TypeName", {float(0.5f)}, VarType::String, "Single"},
        {"TypeName", {-0.5}, VarType::String, "Double"},
        {"TypeName", {Variant(Currency::fromDouble(0.5))}, VarType::String, "Currency"},
        {"TypeName", {"0,5"}, VarType::String, "String"},
        {"TypeName", {true}, VarType::String, "Boolean"},
        {"TypeName", {VArray::fromList({})}, VarType::String, "Variant()"},
        {"TypeName", {Obj(1)}, VarType::String, "Campo"},
        {"VarType", {Variant()}, VarType::Integer, "0"},
        {"VarType", {kNull}, VarType::Integer, "1"},
        {"VarType", {Int(255)}, VarType::Integer, "2"},
        {"VarType", {32768}, VarType::Integer, "3"},
        {"VarType", {"x"}, VarType::Integer, "8"},
        {"VarType", {Variant::nothing()}, VarType::Integer, "9"},
        {"VarType", {Obj(1, false)}, VarType::Integer, "9"},
        {"VarType", {Obj("x")}, VarType::Integer, "8"},
        {"VarType", {true}, VarType::Integer, "11"},
        {"VarType", {Variant::fromByte(1)}, VarType::Integer, "17"},
        {"VarType", {VArray::fromList({1})}, VarType::Integer, "8204"},
    });
}

class RecordingScriptPrompt : public vbs::ScriptPrompt {
  public:
    int MsgBox(const QString& text, int style, const QString& title) override {
        shown << QStringLiteral("%1|%2|%3").arg(text).arg(style).arg(title);
        return answer;
    }
    bool InputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                  QString& value) override {
        shown << QStringLiteral("%1|%2|%3").arg(prompt, title, defaultValue);
        value = typed;
        return !cancel;
    }
    QStringList shown;
    int answer = 1;
    QString typed;
    bool cancel = false;
};

TEST(BuiltinPrompts, MsgBoxAndInputBoxGoThroughTheHostPrompt) {
    RecordingScriptPrompt prompt;
    vbs::BuiltinContext context;
    context.prompt = &prompt;
    prompt.answer = 7;
    const Variant result = Call("MsgBox", {"Stampare?", 4 + 32, "Etichette"}, &context);
    EXPECT_EQ(result.type(), VarType::Integer);
    EXPECT_EQ(result.toLong(), 7);
    Call("MsgBox", {12.5}, &context);
    EXPECT_EQ(prompt.shown,
              QStringList({QStringLiteral("Stampare?|36|Etichette"), QStringLiteral("12,5|0|")}));

    prompt.shown.clear();
    prompt.typed = QStringLiteral("42");
    EXPECT_EQ(Call("InputBox", {"Quantità", "Titolo", 1}, &context).stringValue(), QStringLiteral("42"));
    prompt.cancel = true;
    const Variant cancelled = Call("InputBox", {"Quantità"}, &context);
    EXPECT_EQ(cancelled.type(), VarType::String);
    EXPECT_TRUE(cancelled.stringValue().isEmpty());
    EXPECT_EQ(prompt.shown, QStringList({QStringLiteral("Quantità|Titolo|1"), QStringLiteral("Quantità||")}));

    CheckErrors({{"MsgBox", {kNull}, 94}, {"MsgBox", {"x", "y"}, 13}, {"InputBox", {"x", kNull}, 94}},
                &context);
    // A host with no prompt gives the script an error rather than an invented answer.
    EXPECT_EQ(ErrorOf("MsgBox", {"x"}), 5);
    EXPECT_EQ(ErrorOf("InputBox", {"x"}), 5);
}

TEST(BuiltinConstants, ValuesAndSubtypes) {
    struct Expected {
        const char* name;
        VarType type;
        int64_t value;
    } numbers[] = {
        {"vbTrue", VarType::Integer, -1},
        {"vbFalse", VarType::Integer, 0},
        {"vbUseDefault", VarType::Integer, -2},
        {"vbBinaryCompare", VarType::Integer, 0},
        {"vbTextCompare", VarType::Integer, 1},
        {"vbEmpty", VarType::Integer, 0},
        {"vbNull", VarType::Integer, 1},
        {"vbInteger", VarType::Integer, 2},
        {"vbLong", VarType::Integer, 3},
        {"vbDouble", VarType::Integer, 5},
        {"vbCurrency", VarType::Integer, 6},
        {"vbDate", VarType::Integer, 7},
        {"vbString", VarType::Integer, 8},
        {"vbObject", VarType::Integer, 9},
        {"vbBoolean", VarType::Integer, 11},
        {"vbVariant", VarType::Integer, 12},
        {"vbByte", VarType::Integer, 17},
        {"vbArray", VarType::Integer, 8192},
        {"vbOKOnly", VarType::Integer, 0},
        {"vbOKCancel", VarType::Integer, 1},
        {"vbYesNoCancel", VarType::Integer, 3},
        {"vbYesNo", VarType::Integer, 4},
        {"vbRetryCancel", VarType::Integer, 5},
        {"vbCritical", VarType::Integer, 16},
        {"vbQuestion", VarType::Integer, 32},
        {"vbExclamation", VarType::Integer, 48},
        {"vbInformation", VarType::Integer, 64},
        {"vbDefaultButton2", VarType::Integer, 256},
        {"vbSystemModal", VarType::Integer, 4096},
        {"vbMsgBoxHelpButton", VarType::Long, 16384},
        {"vbOK", VarType::Integer, 1},
        {"vbCancel", VarType::Integer, 2},
        {"vbYes", VarType::Integer, 6},
        {"vbNo", VarType::Integer, 7},
        {"vbSunday", VarType::Integer, 1},
        {"vbMonday", VarType::Integer, 2},
        {"vbSaturday", VarType::Integer, 7},
        {"vbUseSystemDayOfWeek", VarType::Integer, 0},
        {"vbFirstJan1", VarType::Integer, 1},
        {"vbFirstFourDays", VarType::Integer, 2},
        {"vbFirstFullWeek", VarType::Integer, 3},
        {"vbGeneralDate", VarType::Integer, 0},
        {"vbLongDate", VarType::Integer, 1},
        {"vbShortTime", VarType::Integer, 4},
        {"vbBlack", VarType::Long, 0},
        {"vbRed", VarType::Long, 0xFF},
        {"vbGreen", VarType::Long, 0xFF00},
        {"vbBlue", VarType::Long, 0xFF0000},
        {"vbYellow", VarType::Long, 0xFFFF},
        {"vbWhite", VarType::Long, 0xFFFFFF},
        {"vbObjectError", VarType::Long, -2147221504},
    };
    for (const Expected& e : numbers) {
        const Variant* v = vbs::FindBuiltinConstant(QString::fromLatin1(e.name));
        ASSERT_NE(v, nullptr) << e.name;
        EXPECT_EQ(v->type(), e.type) << e.name;
        EXPECT_EQ(v->intValue(), e.value) << e.name;
    }
    struct Text {
        const char* name;
        QString value;
    } texts[] = {
        {"vbCr", QStringLiteral("\r")},     {"vbLf", QStringLiteral("\n")},
        {"VBCRLF", QStringLiteral("\r\n")}, {"vbNewLine", QStringLiteral("\r\n")},
        {"vbTab", QStringLiteral("\t")},    {"vbNullString", QString()},
        {"vbNullChar", QString(QChar(0))},
    };
    for (const Text& t : texts) {
        const Variant* v = vbs::FindBuiltinConstant(QString::fromLatin1(t.name));
        ASSERT_NE(v, nullptr) << t.name;
        EXPECT_EQ(v->type(), VarType::String) << t.name;
        EXPECT_EQ(v->stringValue(), t.value) << t.name;
    }
    EXPECT_EQ(vbs::FindBuiltinConstant(QStringLiteral("vbNonEsiste")), nullptr);
    EXPECT_EQ(vbs::FindBuiltinConstant(QStringLiteral("Len")), nullptr);
}

TEST(BuiltinTable, NamesAreUniqueAndFoundInAnyCase) {
    QSet<QString> names;
    for (const vbs::BuiltinDef& def : vbs::Builtins()) {
        const QString lower = QString::fromLatin1(def.name).toLower();
        EXPECT_FALSE(names.contains(lower)) << def.name;
        names.insert(lower);
        EXPECT_EQ(vbs::FindBuiltin(lower), &def);
        EXPECT_EQ(vbs::FindBuiltin(QString::fromLatin1(def.name).toUpper()), &def);
        EXPECT_GE(def.minArgs, 0) << def.name;
        EXPECT_TRUE(def.maxArgs == -1 || def.maxArgs >= def.minArgs) << def.name;
        EXPECT_EQ(vbs::FindBuiltinConstant(lower), nullptr) << def.name;
    }
    for (const char* required : {"Len",           "Left",
                                 "Right",         "Mid",
                                 "InStr",         "InStrRev",
                                 "Replace",       "Trim",
                                 "LTrim",         "RTrim",
                                 "UCase",         "LCase",
                                 "Space",         "String",
                                 "StrComp",       "StrReverse",
                                 "Split",         "Join",
                                 "Filter",        "Chr",
                                 "ChrW",          "Asc",
                                 "AscW",          "Hex",
                                 "Oct",           "CStr",
                                 "CInt",          "CLng",
                                 "CSng",          "CDbl",
                                 "CCur",          "CBool",
                                 "CByte",         "CDate",
                                 "Int",           "Fix",
                                 "Round",         "Abs",
                                 "Sgn",           "Sqr",
                                 "Exp",           "Log",
                                 "Sin",           "Cos",
                                 "Tan",           "Atn",
                                 "Rnd",           "Randomize",
                                 "IsNull",        "IsEmpty",
                                 "IsNumeric",     "IsDate",
                                 "IsObject",      "IsArray",
                                 "TypeName",      "VarType",
                                 "RGB",           "Date",
                                 "Time",          "Now",
                                 "Year",          "Month",
                                 "Day",           "Hour",
                                 "Minute",        "Second",
                                 "Weekday",       "WeekdayName",
                                 "MonthName",     "DateAdd",
                                 "DateDiff",      "DatePart",
                                 "DateSerial",    "TimeSerial",
                                 "DateValue",     "TimeValue",
                                 "FormatNumber",  "FormatCurrency",
                                 "FormatPercent", "FormatDateTime",
                                 "MsgBox",        "InputBox"})
        EXPECT_NE(vbs::FindBuiltin(QString::fromLatin1(required)), nullptr) << required;
    EXPECT_EQ(vbs::FindBuiltin(QStringLiteral("CreateObject")), nullptr);
    EXPECT_EQ(vbs::FindBuiltin(QStringLiteral("Eval")), nullptr);
}

}  // namespace
