// Currency arithmetic on exact ten-thousandths.
#include "base/Currency.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/AppError.h"
#include "base/Variant.h"

Currency Currency::fromDouble(double v) {
    // A decimal half such as 0,00015 is not exact in binary: treat values within rounding noise
    // of a half (a few units of the last place) as the half, so that they go to the even
    // neighbour as the decimal value would. A wider margin would take true fractions of large
    // amounts for halves.
    const double raw = v * 10000.0;
    const double lower = std::floor(raw);
    double scaled = RoundHalfEven(raw);
    constexpr double kNoise = 16 * std::numeric_limits<double>::epsilon();
    if (std::fabs(raw - lower - 0.5) <= kNoise * std::max(1.0, std::fabs(raw)))
        scaled = std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
    if (!std::isfinite(scaled) || scaled >= 9.2233720368547758e18 || scaled < -9.2233720368547758e18)
        RaiseVbError(6);
    return fromRaw(static_cast<int64_t>(scaled));
}

Currency Currency::fromLong(int64_t units) {
    int64_t r = 0;
    if (__builtin_mul_overflow(units, int64_t(10000), &r)) RaiseVbError(6);
    return fromRaw(r);
}

Currency Currency::mulDiv(int64_t multiplier, int64_t divisor) const {
    if (divisor == 0) RaiseVbError(11);
    const __int128 product = static_cast<__int128>(raw_) * multiplier;
    __int128 quotient = product / divisor;
    const __int128 rest = product % divisor;
    // Twice the rest against the divisor, both as magnitudes: above a half, or a half on an odd
    // quotient, moves away from zero.
    const __int128 twice = rest < 0 ? -2 * rest : 2 * rest;
    const __int128 whole = divisor < 0 ? -static_cast<__int128>(divisor) : divisor;
    if (twice > whole || (twice == whole && (quotient & 1) != 0))
        quotient += (product < 0) == (divisor < 0) ? 1 : -1;
    if (quotient > std::numeric_limits<int64_t>::max() || quotient < std::numeric_limits<int64_t>::min())
        RaiseVbError(6);
    return fromRaw(static_cast<int64_t>(quotient));
}

QString Currency::toString() const {
    const bool negative = raw_ < 0;
    const uint64_t a = negative ? uint64_t(0) - uint64_t(raw_) : uint64_t(raw_);
    QString s = QString::number(a / 10000);
    uint64_t frac = a % 10000;
    if (frac != 0) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char(',') + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

Currency Currency::operator+(Currency o) const {
    int64_t r = 0;
    if (__builtin_add_overflow(raw_, o.raw_, &r)) RaiseVbError(6);
    return fromRaw(r);
}

Currency Currency::operator-(Currency o) const {
    int64_t r = 0;
    if (__builtin_sub_overflow(raw_, o.raw_, &r)) RaiseVbError(6);
    return fromRaw(r);
}

Currency Currency::operator-() const {
    if (raw_ == std::numeric_limits<int64_t>::min()) RaiseVbError(6);
    return fromRaw(-raw_);
}
