// Argument handling shared by the built-in functions.
#include "vbs/BuiltinArgs.h"

#include <QLocale>

#include "base/AppError.h"
#include "base/Object.h"
#include "vbs/Builtins.h"
#include "vbs/MemoryMeter.h"

namespace vbs {

bool HasArg(const VariantList& args, size_t i) {
    return i < args.size() && !args[i].isMissing();
}

size_t GivenCount(const VariantList& args) {
    size_t n = args.size();
    while (n > 0 && args[n - 1].isMissing())
        --n;
    return n;
}

Variant ArgValue(const VariantList& args, size_t i) {
    if (!HasArg(args, i)) RaiseVbError(449);
    const Variant& v = args[i];
    if (v.isObject() && v.objectValue()) {
        VariantList none;
        return v.objectValue()->invokeDefault(CallKind::PropertyGet, none);
    }
    return v;
}

int32_t LongArg(const VariantList& args, size_t i, int32_t fallback) {
    if (!HasArg(args, i)) return fallback;
    const Variant v = ArgValue(args, i);
    if (v.isNull()) RaiseVbError(94);
    return v.toLong();
}

int32_t LongArg(const VariantList& args, size_t i) {
    const Variant v = ArgValue(args, i);
    if (v.isNull()) RaiseVbError(94);
    return v.toLong();
}

QString StringArg(const VariantList& args, size_t i, const QString& fallback) {
    if (!HasArg(args, i)) return fallback;
    const Variant v = ArgValue(args, i);
    if (v.isNull()) RaiseVbError(94);
    return v.toString();
}

bool TextCompareArg(const VariantList& args, size_t i) {
    const int32_t mode = LongArg(args, i, 0);
    if (mode != 0 && mode != 1) RaiseInvalidArgument();
    return mode == 1;
}

int FirstDayArg(const VariantList& args, size_t i, int fallback) {
    const int32_t day = LongArg(args, i, fallback);
    if (day < 0 || day > 7) RaiseInvalidArgument();
    if (day == 0) {
        // Qt counts Monday as 1 and Sunday as 7; VB counts Sunday as 1.
        const int qtDay = QLocale(QLocale::Italian, QLocale::Italy).firstDayOfWeek();
        return qtDay % 7 + 1;
    }
    return day;
}

void CheckTextLength(BuiltinContext& ctx, qint64 length) {
    if (length > kMaxBuiltinText) RaiseVbError(14);
    if (ctx.memory) ctx.memory->require(2 * length);
}

void CheckArrayLength(BuiltinContext& ctx, qint64 count) {
    if (ctx.memory) ctx.memory->require(count * static_cast<qint64>(sizeof(Variant)));
}

void RaiseInvalidArgument() {
    RaiseVbError(5);
}

}  // namespace vbs
