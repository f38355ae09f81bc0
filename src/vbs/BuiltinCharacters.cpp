// Character codes: Chr and Asc on the Windows-1252 code page, ChrW and AscW on UTF-16 units.
#include <QString>

#include "base/AppError.h"
#include "base/Windows1252.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

Variant Chr(BuiltinContext&, VariantList& args) {
    const int32_t code = LongArg(args, 0);
    if (code < 0 || code > 255) RaiseInvalidArgument();
    return Variant(QString(AnsiToChar(code)));
}

Variant ChrW(BuiltinContext&, VariantList& args) {
    const int32_t code = LongArg(args, 0);
    if (code < -32768 || code > 65535) RaiseInvalidArgument();
    return Variant(QString(QChar(static_cast<char16_t>(code < 0 ? code + 65536 : code))));
}

QChar firstChar(const VariantList& args) {
    const QString s = StringArg(args, 0);
    if (s.isEmpty()) RaiseInvalidArgument();
    return s[0];
}

Variant Asc(BuiltinContext&, VariantList& args) {
    return Variant(static_cast<int16_t>(CharToAnsi(firstChar(args))));
}

// AscW is an Integer: units past 32767 read as negative numbers.
Variant AscW(BuiltinContext&, VariantList& args) {
    return Variant(static_cast<int16_t>(firstChar(args).unicode()));
}

}  // namespace

void AddCharacterBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"Chr", 1, 1, Chr},
                                  {"ChrW", 1, 1, ChrW},
                                  {"Asc", 1, 1, Asc},
                                  {"AscW", 1, 1, AscW},
                              });
}

}  // namespace vbs
