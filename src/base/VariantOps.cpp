// VB's operator rules. Numeric results take the "most precise" operand type in VB's order
// Byte < Integer < Long < Single < Double < Currency; a whole-number result that overflows moves
// up to the next type, as VB does.
#include "base/VariantOps.h"

#include <cmath>
#include <limits>

#include "base/AppError.h"
#include "base/Object.h"

namespace {

enum Rank { kByte, kInteger, kLong, kSingle, kDouble, kCurrency, kDate };

// The value behind an object's default member, for operators.
Variant deref(const Variant& v) {
    if (v.type() == VarType::Object) {
        if (!v.objectValue()) RaiseVbError(91);
        VariantList none;
        return v.objectValue()->invokeDefault(CallKind::PropertyGet, none);
    }
    return v;
}

Rank rankOf(const Variant& v) {
    switch (v.type()) {
        case VarType::Byte:
            return kByte;
        case VarType::Empty:
        case VarType::Boolean:
        case VarType::Integer:
            return kInteger;
        case VarType::Long:
            return kLong;
        case VarType::Single:
            return kSingle;
        case VarType::Currency:
            return kCurrency;
        case VarType::Date:
            return kDate;
        case VarType::Array:
            RaiseVbError(13);
        case VarType::Error:
            RaiseVbError(13);
        default:
            return kDouble;  // Double, numeric String
    }
}

Rank resultRank(const Variant& a, const Variant& b) {
    const Rank ra = rankOf(a), rb = rankOf(b);
    if ((ra == kSingle && rb == kLong) || (ra == kLong && rb == kSingle)) return kDouble;
    return std::max(ra, rb);
}

Variant wholeResult(double r, Rank rank) {
    if (rank <= kByte && r >= 0 && r <= 255) return Variant::fromByte(static_cast<uint8_t>(r));
    if (rank <= kInteger && r >= -32768 && r <= 32767) return Variant(static_cast<int16_t>(r));
    if (r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(r));
    return Variant(r);
}

Variant numericResult(double r, Rank rank) {
    switch (rank) {
        case kByte:
        case kInteger:
        case kLong:
            return wholeResult(r, rank);
        case kSingle: {
            if (std::isfinite(r) && std::fabs(r) <= std::numeric_limits<float>::max())
                return Variant(static_cast<float>(r));
            return Variant(r);
        }
        case kCurrency:
            return Variant(Currency::fromDouble(r));
        case kDate: {
            if (r < -657434.0 || r >= 2958466.0) RaiseVbError(6);
            return Variant::fromDate(r);
        }
        default:
            if (!std::isfinite(r)) RaiseVbError(6);
            return Variant(r);
    }
}

// Long operand for \, Mod and the logical operators.
int64_t wholeOperand(const Variant& v) {
    if (v.type() == VarType::Boolean) return v.boolValue() ? -1 : 0;
    return v.toLong();
}

bool isTextual(const Variant& v) {
    return v.type() == VarType::String;
}

}  // namespace

Variant VbAdd(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return Variant::null();
    if (isTextual(a) && isTextual(b)) return Variant(a.stringValue() + b.stringValue());
    if (isTextual(a) && b.isEmpty()) return a;
    if (isTextual(b) && a.isEmpty()) return b;
    const Rank rank = resultRank(a, b);
    if (rank == kCurrency && a.type() != VarType::Date && b.type() != VarType::Date)
        return Variant(a.toCurrency() + b.toCurrency());
    return numericResult(a.toNumber() + b.toNumber(), rank);
}

Variant VbSub(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return Variant::null();
    if (a.type() == VarType::Date && b.type() == VarType::Date) return Variant(a.dateValue() - b.dateValue());
    const Rank rank = resultRank(a, b);
    if (rank == kCurrency) return Variant(a.toCurrency() - b.toCurrency());
    return numericResult(a.toNumber() - b.toNumber(), rank);
}

Variant VbMul(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return Variant::null();
    Rank rank = resultRank(a, b);
    if (rank == kDate) rank = kDouble;
    return numericResult(a.toNumber() * b.toNumber(), rank);
}

Variant VbDiv(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return Variant::null();
    const double x = a.toNumber(), y = b.toNumber();
    if (y == 0) RaiseVbError(x == 0 ? 6 : 11);
    const Rank rank = resultRank(a, b);
    if (rank == kCurrency) return Variant(Currency::fromDouble(x / y));
    if (rank <= kSingle && rankOf(a) != kLong && rankOf(b) != kLong) return numericResult(x / y, kSingle);
    return numericResult(x / y, kDouble);
}

Variant VbIntDiv(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return Variant::null();
    const int64_t x = wholeOperand(a), y = wholeOperand(b);
    if (y == 0) RaiseVbError(11);
    const Rank rank = std::max(rankOf(a), rankOf(b)) <= kInteger ? kInteger : kLong;
    return wholeResult(static_cast<double>(x / y), rank);
}

Variant VbMod(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return Variant::null();
    const int64_t x = wholeOperand(a), y = wholeOperand(b);
    if (y == 0) RaiseVbError(11);
    const Rank rank = std::max(rankOf(a), rankOf(b)) <= kInteger ? kInteger : kLong;
    return wholeResult(static_cast<double>(x % y), rank);
}

Variant VbPow(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return Variant::null();
    const double x = a.toNumber(), y = b.toNumber();
    if (x < 0 && y != std::trunc(y)) RaiseVbError(5);
    if (x == 0 && y < 0) RaiseVbError(5);
    const double r = std::pow(x, y);
    if (!std::isfinite(r)) RaiseVbError(6);
    return Variant(r);
}

Variant VbNeg(const Variant& a0) {
    const Variant a = deref(a0);
    switch (a.type()) {
        case VarType::Null:
            return a;
        case VarType::Empty:
            return Variant(int16_t(0));
        case VarType::Boolean:
            return Variant(int16_t(a.boolValue() ? 1 : 0));
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            return wholeResult(-static_cast<double>(a.intValue()), rankOf(a) == kLong ? kLong : kInteger);
        case VarType::Single:
            return Variant(static_cast<float>(-a.doubleValue()));
        case VarType::Currency:
            return Variant(-a.currencyValue());
        case VarType::Date:
            return numericResult(-a.dateValue(), kDate);
        default:
            return Variant(-a.toNumber());
    }
}

Variant VbConcat(const Variant& a0, const Variant& b0) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() && b.isNull()) return Variant::null();
    if (a.isArray() || b.isArray()) RaiseVbError(13);
    return Variant(a.toText() + b.toText());
}

namespace {

// Three-valued logic: Null stays Null where the other side does not decide.
template <typename Op>
Variant logical(const Variant& a0, const Variant& b0, Op op, bool nullWithFalse, bool nullWithTrue) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) {
        const Variant& other = a.isNull() ? b : a;
        if (other.isNull()) return Variant::null();
        const int64_t o = wholeOperand(other);
        // And: Null And False = False; Or: Null Or True = True (bitwise: the decided bits only).
        if (nullWithFalse && o == 0)
            return other.type() == VarType::Boolean ? Variant(false) : wholeResult(0, rankOf(other));
        if (nullWithTrue && o == -1)
            return other.type() == VarType::Boolean ? Variant(true) : wholeResult(-1, rankOf(other));
        return Variant::null();
    }
    const int64_t r = op(wholeOperand(a), wholeOperand(b));
    if (a.type() == VarType::Boolean && b.type() == VarType::Boolean) return Variant(r != 0);
    const Rank rank = std::max(rankOf(a), rankOf(b)) <= kInteger ? kInteger : kLong;
    return wholeResult(static_cast<double>(static_cast<int32_t>(r)), rank);
}

}  // namespace

Variant VbNot(const Variant& a0) {
    const Variant a = deref(a0);
    if (a.isNull()) return a;
    if (a.type() == VarType::Boolean) return Variant(!a.boolValue());
    const int64_t x = wholeOperand(a);
    return wholeResult(static_cast<double>(~static_cast<int32_t>(x)),
                       rankOf(a) <= kInteger ? kInteger : kLong);
}

Variant VbAnd(const Variant& a, const Variant& b) {
    return logical(
        a, b, [](int64_t x, int64_t y) { return x & y; }, true, false);
}
Variant VbOr(const Variant& a, const Variant& b) {
    return logical(
        a, b, [](int64_t x, int64_t y) { return x | y; }, false, true);
}
Variant VbXor(const Variant& a, const Variant& b) {
    return logical(
        a, b, [](int64_t x, int64_t y) { return x ^ y; }, false, false);
}
Variant VbEqv(const Variant& a, const Variant& b) {
    return logical(
        a, b, [](int64_t x, int64_t y) { return ~(x ^ y); }, false, false);
}
Variant VbImp(const Variant& a, const Variant& b) {
    const Variant x = deref(a), y = deref(b);
    if (x.isNull() && !y.isNull() && wholeOperand(y) == -1)
        return y.type() == VarType::Boolean ? Variant(true) : y;
    if (y.isNull() && !x.isNull() && wholeOperand(x) == 0)
        return x.type() == VarType::Boolean ? Variant(true) : wholeResult(-1, rankOf(x));
    return logical(
        x, y, [](int64_t p, int64_t q) { return (~p) | q; }, false, false);
}

std::optional<int> VbCompare(const Variant& a0, const Variant& b0, bool textCompare) {
    const Variant a = deref(a0), b = deref(b0);
    if (a.isNull() || b.isNull()) return std::nullopt;
    const bool sa = isTextual(a), sb = isTextual(b);
    if (sa || sb) {
        if ((sa || a.isEmpty()) && (sb || b.isEmpty())) {
            const int c =
                a.toText().compare(b.toText(), textCompare ? Qt::CaseInsensitive : Qt::CaseSensitive);
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        // A number is less than any text.
        return sa ? 1 : -1;
    }
    if (a.type() == VarType::Currency && b.type() == VarType::Currency) {
        const auto x = a.currencyValue().raw(), y = b.currencyValue().raw();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const double x = a.toNumber(), y = b.toNumber();
    return x < y ? -1 : (x > y ? 1 : 0);
}

Variant VbCompareOp(CompareOp op, const Variant& a, const Variant& b, bool textCompare) {
    const auto c = VbCompare(a, b, textCompare);
    if (!c) return Variant::null();
    switch (op) {
        case CompareOp::Eq:
            return Variant(*c == 0);
        case CompareOp::Ne:
            return Variant(*c != 0);
        case CompareOp::Lt:
            return Variant(*c < 0);
        case CompareOp::Le:
            return Variant(*c <= 0);
        case CompareOp::Gt:
            return Variant(*c > 0);
        case CompareOp::Ge:
            return Variant(*c >= 0);
    }
    return Variant::null();
}

bool ValuesEqual(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    try {
        const auto c = VbCompare(a, b);
        return c && *c == 0;
    } catch (const AppError&) {
        return false;
    }
}
