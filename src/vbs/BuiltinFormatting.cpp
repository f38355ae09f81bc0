// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime under Italian regional settings.
// A Null value is a type mismatch here (13), an optional argument given as Null is 94.
#include "base/AppError.h"
#include "base/Format.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

Variant valueArg(const VariantList& args) {
    const Variant v = ArgValue(args, 0);
    if (v.isNull()) RaiseVbError(13);
    return v;
}

using NumberFormatter = QString (*)(const Variant&, int, int, int, int);

Variant formatNumberLike(const VariantList& args, NumberFormatter format) {
    const Variant v = valueArg(args);
    const int32_t decimals = LongArg(args, 1, -1);
    if (decimals < -1 || decimals > 255) RaiseInvalidArgument();
    // Tristate: -1 True, 0 False, -2 the regional default.
    const int32_t leading = LongArg(args, 2, -2), parens = LongArg(args, 3, -2), group = LongArg(args, 4, -2);
    return Variant(format(v, decimals, leading, parens, group));
}

Variant FormatNumber(BuiltinContext&, VariantList& args) {
    return formatNumberLike(args, VbFormatNumber);
}
Variant FormatCurrency(BuiltinContext&, VariantList& args) {
    return formatNumberLike(args, VbFormatCurrency);
}
Variant FormatPercent(BuiltinContext&, VariantList& args) {
    return formatNumberLike(args, VbFormatPercent);
}

Variant FormatDateTime(BuiltinContext&, VariantList& args) {
    const Variant v = valueArg(args);
    const int32_t named = LongArg(args, 1, 0);
    if (named < 0 || named > 4) RaiseInvalidArgument();
    return Variant(VbFormatDateTime(v, named));
}

}  // namespace

void AddFormattingBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"FormatNumber", 1, 5, FormatNumber},
                                  {"FormatCurrency", 1, 5, FormatCurrency},
                                  {"FormatPercent", 1, 5, FormatPercent},
                                  {"FormatDateTime", 1, 2, FormatDateTime},
                              });
}

}  // namespace vbs
