// Math functions: Int, Fix, Round, Abs, Sgn, Sqr, Exp, Log, Sin, Cos, Tan, Atn, Rnd, Randomize, RGB.
// Int, Fix, Round and Abs keep the argument's subtype as VBScript does.
#include <QTime>

#include <bit>
#include <cmath>
#include <limits>

#include "base/AppError.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"
#include "vbs/ScriptServices.h"

namespace vbs {

namespace {

// q units of `unit` ten-thousandths; past Currency's range, overflow (6).
int64_t currencyUnits(int64_t q, int64_t unit) {
    int64_t raw = 0;
    if (__builtin_mul_overflow(q, unit, &raw)) RaiseVbError(6);
    return raw;
}

// Whole part of a Currency's ten-thousandths, downwards (Int) or towards zero (Fix).
int64_t wholeCurrency(int64_t raw, bool down) {
    int64_t q = raw / 10000;
    if (down && raw % 10000 < 0) --q;
    return currencyUnits(q, 10000);
}

Variant wholePart(const VariantList& args, bool down) {
    const Variant v = ArgValue(args, 0);
    auto cut = [down](double d) { return down ? std::floor(d) : std::trunc(d); };
    switch (v.type()) {
        case VarType::Null:
            return v;
        case VarType::Empty:
            return Variant(int16_t(0));
        case VarType::Boolean:
            return Variant(static_cast<int16_t>(v.boolValue() ? -1 : 0));
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            return v;
        case VarType::Single:
            return Variant(static_cast<float>(cut(v.doubleValue())));
        case VarType::Currency:
            return Variant(Currency::fromRaw(wholeCurrency(v.currencyValue().raw(), down)));
        case VarType::Date:
            return Variant::fromDate(cut(v.dateValue()));
        default:
            return Variant(cut(v.toDouble()));
    }
}

Variant Int(BuiltinContext&, VariantList& args) {
    return wholePart(args, true);
}
Variant Fix(BuiltinContext&, VariantList& args) {
    return wholePart(args, false);
}

// Scales to the wanted decimals and rounds halves to even, as VBScript does on the binary value.
double roundDouble(double v, int decimals) {
    if (decimals == 0) return RoundHalfEven(v);
    const double factor = std::pow(10.0, decimals);
    const double scaled = v * factor;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9007199254740992.0) return v;  // nothing left to round
    return RoundHalfEven(scaled) / factor;
}

int64_t roundCurrency(int64_t raw, int decimals) {
    if (decimals >= 4) return raw;
    int64_t unit = 1;
    for (int i = decimals; i < 4; ++i)
        unit *= 10;
    int64_t q = raw / unit;
    const int64_t r = raw % unit, twice = 2 * (r < 0 ? -r : r);
    if (twice > unit || (twice == unit && q % 2 != 0)) q += raw < 0 ? -1 : 1;
    return currencyUnits(q, unit);
}

Variant Round(BuiltinContext&, VariantList& args) {
    const int32_t decimals = LongArg(args, 1, 0);
    if (decimals < 0) RaiseInvalidArgument();
    const Variant v = ArgValue(args, 0);
    switch (v.type()) {
        case VarType::Null:
        case VarType::Boolean:
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            return v;
        case VarType::Empty:
            return Variant(int16_t(0));
        case VarType::Single:
            return Variant(static_cast<float>(roundDouble(v.doubleValue(), decimals)));
        case VarType::Currency:
            return Variant(Currency::fromRaw(roundCurrency(v.currencyValue().raw(), decimals)));
        default:
            return Variant(roundDouble(v.toDouble(), decimals));
    }
}

Variant Abs(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    switch (v.type()) {
        case VarType::Null:
        case VarType::Byte:
            return v;
        case VarType::Empty:
            return Variant(int16_t(0));
        case VarType::Boolean:
            return Variant(static_cast<int16_t>(v.boolValue() ? 1 : 0));
        case VarType::Integer: {
            const int64_t i = std::llabs(v.intValue());
            // -32768 has no positive Integer: the result moves up to a Long.
            return i > 32767 ? Variant(static_cast<int32_t>(i)) : Variant(static_cast<int16_t>(i));
        }
        case VarType::Long:
            return Variant(static_cast<int64_t>(std::llabs(v.intValue())));
        case VarType::Single:
            return Variant(std::fabs(static_cast<float>(v.doubleValue())));
        case VarType::Currency: {
            const Currency c = v.currencyValue();
            return Variant(c.raw() < 0 ? -c : c);
        }
        default:
            return Variant(std::fabs(v.toDouble()));
    }
}

Variant Sgn(BuiltinContext&, VariantList& args) {
    const Variant v = ArgValue(args, 0);
    const double d =
        v.type() == VarType::Currency ? static_cast<double>(v.currencyValue().raw()) : v.toDouble();
    return Variant(static_cast<int16_t>(d < 0 ? -1 : (d > 0 ? 1 : 0)));
}

double numberArg(const VariantList& args) {
    return ArgValue(args, 0).toDouble();
}

Variant finite(double d) {
    if (!std::isfinite(d)) RaiseVbError(6);
    return Variant(d);
}

Variant Sqr(BuiltinContext&, VariantList& args) {
    const double d = numberArg(args);
    if (d < 0) RaiseInvalidArgument();
    return Variant(std::sqrt(d));
}

Variant Exp(BuiltinContext&, VariantList& args) {
    return finite(std::exp(numberArg(args)));
}

Variant Log(BuiltinContext&, VariantList& args) {
    const double d = numberArg(args);
    if (d <= 0) RaiseInvalidArgument();
    return Variant(std::log(d));
}

Variant Sin(BuiltinContext&, VariantList& args) {
    return Variant(std::sin(numberArg(args)));
}
Variant Cos(BuiltinContext&, VariantList& args) {
    return Variant(std::cos(numberArg(args)));
}
Variant Tan(BuiltinContext&, VariantList& args) {
    return finite(std::tan(numberArg(args)));
}
Variant Atn(BuiltinContext&, VariantList& args) {
    return Variant(std::atan(numberArg(args)));
}

// VB's generator: a 24-bit linear congruential sequence, so that seeded runs repeat VB's numbers.
uint32_t g_rndState = 0x50000;

void advance() {
    g_rndState = (g_rndState * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
}

Variant Rnd(BuiltinContext&, VariantList& args) {
    if (HasArg(args, 0)) {
        const float n = ArgValue(args, 0).toSingle();
        if (n < 0) {
            const uint32_t bits = std::bit_cast<uint32_t>(n);
            g_rndState = (bits + (bits >> 24)) & 0xFFFFFFu;
            advance();
        } else if (n > 0) {
            advance();
        }
    } else {
        advance();
    }
    return Variant(static_cast<float>(g_rndState) / 16777216.0f);
}

double secondsSinceMidnight(BuiltinContext& ctx) {
    if (ctx.clock) {
        const double now = ctx.clock->Now();
        return std::fabs(now - std::trunc(now)) * 86400.0;
    }
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

// Randomize keeps the outer bytes of the state and mixes the seed's high bits into the middle two.
Variant Randomize(BuiltinContext& ctx, VariantList& args) {
    const double seed =
        HasArg(args, 0) ? ArgValue(args, 0).toDouble() : static_cast<float>(secondsSinceMidnight(ctx));
    const uint32_t high = static_cast<uint32_t>(std::bit_cast<uint64_t>(seed) >> 32);
    const uint32_t mixed = (high ^ (high >> 16)) & 0xFFFFu;
    g_rndState = (g_rndState & 0xFF0000FFu) | (mixed << 8);
    return Variant();
}

Variant RGB(BuiltinContext&, VariantList& args) {
    int32_t parts[3];
    for (size_t i = 0; i < 3; ++i) {
        parts[i] = LongArg(args, i);
        if (parts[i] < 0) RaiseInvalidArgument();
        if (parts[i] > 255) parts[i] = 255;
    }
    return Variant(parts[0] + parts[1] * 256 + parts[2] * 65536);
}

}  // namespace

void AddMathBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"Int", 1, 1, Int},
                                  {"Fix", 1, 1, Fix},
                                  {"Round", 1, 2, Round},
                                  {"Abs", 1, 1, Abs},
                                  {"Sgn", 1, 1, Sgn},
                                  {"Sqr", 1, 1, Sqr},
                                  {"Exp", 1, 1, Exp},
                                  {"Log", 1, 1, Log},
                                  {"Sin", 1, 1, Sin},
                                  {"Cos", 1, 1, Cos},
                                  {"Tan", 1, 1, Tan},
                                  {"Atn", 1, 1, Atn},
                                  {"Rnd", 0, 1, Rnd},
                                  {"Randomize", 0, 1, Randomize},
                                  {"RGB", 3, 3, RGB},
                              });
}

}  // namespace vbs
