// Conversion functions: CStr, CInt, CLng, CSng, CDbl, CCur, CBool, CByte, CDate, Hex, Oct.
// Unlike the operators they refuse Null (94).
#include <QString>

#include "base/AppError.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

Variant nonNull(const VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) RaiseVbError(94);
    return v;
}

Variant CStr(BuiltinContext&, VariantList& args) {
    return Variant(nonNull(args).toString());
}
Variant CInt(BuiltinContext&, VariantList& args) {
    return Variant(nonNull(args).toInteger());
}
Variant CLng(BuiltinContext&, VariantList& args) {
    return Variant(nonNull(args).toLong());
}
Variant CSng(BuiltinContext&, VariantList& args) {
    return Variant(nonNull(args).toSingle());
}
Variant CDbl(BuiltinContext&, VariantList& args) {
    return Variant(nonNull(args).toDouble());
}
Variant CCur(BuiltinContext&, VariantList& args) {
    return Variant(nonNull(args).toCurrency());
}
Variant CDate(BuiltinContext&, VariantList& args) {
    return Variant::fromDate(nonNull(args).toDate());
}

Variant CBool(BuiltinContext&, VariantList& args) {
    const Variant v = nonNull(args);
    if (v.isString()) {
        // "#TRUE#" and "#FALSE#" are how Booleans are written out to files; VBScript reads them back.
        const QString t = v.stringValue().trimmed();
        if (t.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) return Variant(true);
        if (t.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) return Variant(false);
    }
    return Variant(v.toBool());
}

Variant CByte(BuiltinContext&, VariantList& args) {
    const Variant v = nonNull(args);
    // True's sixteen bits keep their low byte: CByte(True) is 255.
    if (v.type() == VarType::Boolean) return Variant::fromByte(v.boolValue() ? 255 : 0);
    return Variant::fromByte(v.toByte());
}

// The bits Hex and Oct show: 16 for Boolean and Integer, 32 for the rest (rounded to a Long first).
uint32_t radixBits(const Variant& v) {
    switch (v.type()) {
        case VarType::Boolean:
            return v.boolValue() ? 0xFFFFu : 0u;
        case VarType::Byte:
            return static_cast<uint32_t>(v.intValue());
        case VarType::Integer:
            return static_cast<uint16_t>(v.intValue());
        default:
            return static_cast<uint32_t>(v.toLong());
    }
}

Variant inRadix(const VariantList& args, int base) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) return Variant::null();
    if (v.isEmpty()) return Variant(QStringLiteral("0"));
    return Variant(QString::number(radixBits(v), base).toUpper());
}

Variant Hex(BuiltinContext&, VariantList& args) {
    return inRadix(args, 16);
}
Variant Oct(BuiltinContext&, VariantList& args) {
    return inRadix(args, 8);
}

}  // namespace

void AddConversionBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"CStr", 1, 1, CStr},
                                  {"CInt", 1, 1, CInt},
                                  {"CLng", 1, 1, CLng},
                                  {"CSng", 1, 1, CSng},
                                  {"CDbl", 1, 1, CDbl},
                                  {"CCur", 1, 1, CCur},
                                  {"CBool", 1, 1, CBool},
                                  {"CByte", 1, 1, CByte},
                                  {"CDate", 1, 1, CDate},
                                  {"Hex", 1, 1, Hex},
                                  {"Oct", 1, 1, Oct},
                              });
}

}  // namespace vbs
