// The named vb... constants with VBScript's values and subtypes (most are Integers, colours and
// the larger MsgBox flags are Longs, the characters are Strings).
#include <QHash>
#include <QString>

#include "base/AppError.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

QHash<QString, Variant> buildConstants() {
    QHash<QString, Variant> c;
    auto integer = [&c](const char* name, int value) {
        c.insert(QString::fromLatin1(name).toLower(), Variant(static_cast<int16_t>(value)));
    };
    auto longValue = [&c](const char* name, int32_t value) {
        c.insert(QString::fromLatin1(name).toLower(), Variant(value));
    };
    auto text = [&c](const char* name, const QString& value) {
        c.insert(QString::fromLatin1(name).toLower(), Variant(value));
    };

    text("vbCr", QStringLiteral("\r"));
    text("vbLf", QStringLiteral("\n"));
    text("vbCrLf", QStringLiteral("\r\n"));
    text("vbNewLine", QStringLiteral("\r\n"));
    text("vbTab", QStringLiteral("\t"));
    text("vbFormFeed", QStringLiteral("\f"));
    text("vbVerticalTab", QStringLiteral("\v"));
    text("vbNullString", QString());
    text("vbNullChar", QString(QChar(0)));

    integer("vbTrue", -1);
    integer("vbFalse", 0);
    integer("vbUseDefault", -2);
    integer("vbBinaryCompare", 0);
    integer("vbTextCompare", 1);
    integer("vbDatabaseCompare", 2);

    // VarType codes.
    integer("vbEmpty", 0);
    integer("vbNull", 1);
    integer("vbInteger", 2);
    integer("vbLong", 3);
    integer("vbSingle", 4);
    integer("vbDouble", 5);
    integer("vbCurrency", 6);
    integer("vbDate", 7);
    integer("vbString", 8);
    integer("vbObject", 9);
    integer("vbError", 10);
    integer("vbBoolean", 11);
    integer("vbVariant", 12);
    integer("vbDataObject", 13);
    integer("vbDecimal", 14);
    integer("vbByte", 17);
    integer("vbArray", 8192);

    // MsgBox buttons, icons, defaults, modality and results.
    integer("vbOKOnly", 0);
    integer("vbOKCancel", 1);
    integer("vbAbortRetryIgnore", 2);
    integer("vbYesNoCancel", 3);
    integer("vbYesNo", 4);
    integer("vbRetryCancel", 5);
    integer("vbCritical", 16);
    integer("vbQuestion", 32);
    integer("vbExclamation", 48);
    integer("vbInformation", 64);
    integer("vbDefaultButton1", 0);
    integer("vbDefaultButton2", 256);
    integer("vbDefaultButton3", 512);
    integer("vbDefaultButton4", 768);
    integer("vbApplicationModal", 0);
    integer("vbSystemModal", 4096);
    longValue("vbMsgBoxHelpButton", 16384);
    longValue("vbMsgBoxSetForeground", 65536);
    longValue("vbMsgBoxRight", 524288);
    longValue("vbMsgBoxRtlReading", 1048576);
    integer("vbOK", 1);
    integer("vbCancel", 2);
    integer("vbAbort", 3);
    integer("vbRetry", 4);
    integer("vbIgnore", 5);
    integer("vbYes", 6);
    integer("vbNo", 7);

    // Days of the week, first week of the year, named date formats.
    integer("vbUseSystemDayOfWeek", 0);
    integer("vbSunday", 1);
    integer("vbMonday", 2);
    integer("vbTuesday", 3);
    integer("vbWednesday", 4);
    integer("vbThursday", 5);
    integer("vbFriday", 6);
    integer("vbSaturday", 7);
    integer("vbUseSystem", 0);
    integer("vbFirstJan1", 1);
    integer("vbFirstFourDays", 2);
    integer("vbFirstFullWeek", 3);
    integer("vbGeneralDate", 0);
    integer("vbLongDate", 1);
    integer("vbShortDate", 2);
    integer("vbLongTime", 3);
    integer("vbShortTime", 4);

    // Colours as RGB Longs (red in the low byte).
    longValue("vbBlack", 0x000000);
    longValue("vbRed", 0x0000FF);
    longValue("vbGreen", 0x00FF00);
    longValue("vbYellow", 0x00FFFF);
    longValue("vbBlue", 0xFF0000);
    longValue("vbMagenta", 0xFF00FF);
    longValue("vbCyan", 0xFFFF00);
    longValue("vbWhite", 0xFFFFFF);

    longValue("vbObjectError", vbObjectError);
    return c;
}

}  // namespace

const Variant* FindConstant(const QString& lowerName) {
    static const QHash<QString, Variant> constants = buildConstants();
    const auto it = constants.constFind(lowerName);
    return it == constants.constEnd() ? nullptr : &it.value();
}

}  // namespace vbs
