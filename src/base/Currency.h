// Currency: VB's exact money type, a 64-bit count of ten-thousandths.
#pragma once

#include <QString>

#include <cstdint>

class Currency {
  public:
    constexpr Currency() = default;
    static constexpr Currency fromRaw(int64_t tenThousandths) {
        Currency c;
        c.raw_ = tenThousandths;
        return c;
    }
    // Rounds to four decimals with halves to even; raises overflow (6) out of range.
    static Currency fromDouble(double v);
    static Currency fromLong(int64_t units);

    constexpr int64_t raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / 10000.0; }
    // Up to four decimals, trailing zeros dropped, "," as decimal point: 12.5 -> "12,5".
    QString toString() const;

    // This amount times `multiplier` divided by `divisor`: the product exact, then one rounding to
    // four decimals with halves to even. Overflow raises 6, a zero divisor 11.
    Currency mulDiv(int64_t multiplier, int64_t divisor) const;

    Currency operator+(Currency o) const;  // overflow raises 6
    Currency operator-(Currency o) const;
    Currency operator-() const;
    auto operator<=>(const Currency&) const = default;

  private:
    int64_t raw_ = 0;
};
