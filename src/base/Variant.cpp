// Variant construction and VB's conversions under Italian regional settings.
#include "base/Variant.h"

#include <QLocale>

#include <cmath>
#include <limits>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Object.h"
#include "base/VArray.h"

namespace {

constexpr int32_t kMissingCode = static_cast<int32_t>(0x80020004);  // DISP_E_PARAMNOTFOUND

template <typename T>
T checkedWhole(double v) {
    if (std::isnan(v)) RaiseVbError(6);
    const double r = RoundHalfEven(v);
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        RaiseVbError(6);
    return static_cast<T>(r);
}

}  // namespace

double RoundHalfEven(double v) {
    // nearbyint honours the default rounding mode, which is to nearest with ties to even.
    return std::nearbyint(v);
}

Variant::Variant(bool b) : type_(VarType::Boolean), b_(b) {}
Variant::Variant(int16_t i) : type_(VarType::Integer), i_(i) {}
Variant::Variant(int32_t l) : type_(VarType::Long), i_(l) {}
Variant::Variant(int64_t l) {
    if (l >= std::numeric_limits<int32_t>::min() && l <= std::numeric_limits<int32_t>::max()) {
        type_ = VarType::Long;
        i_ = l;
    } else {
        type_ = VarType::Double;
        d_ = static_cast<double>(l);
    }
}
Variant::Variant(float f) : type_(VarType::Single), d_(f) {}
Variant::Variant(double d) : type_(VarType::Double), d_(d) {}
Variant::Variant(Currency c) : type_(VarType::Currency), i_(c.raw()) {}
Variant::Variant(const QString& s) : type_(VarType::String), s_(s) {}
Variant::Variant(QString&& s) : type_(VarType::String), s_(std::move(s)) {}
Variant::Variant(const char* s) : type_(VarType::String), s_(QString::fromUtf8(s)) {}
Variant::Variant(ObjectRef o) : type_(VarType::Object), obj_(std::move(o)) {}
Variant::Variant(std::shared_ptr<VArray> a) : type_(VarType::Array), arr_(std::move(a)) {}
Variant::Variant(const VArray& a) : type_(VarType::Array), arr_(std::make_shared<VArray>(a)) {}

// Arrays are values in VB: a copy of a Variant copies its array.
std::shared_ptr<VArray> Variant::copyArray(const VArray& a) {
    return std::make_shared<VArray>(a);
}

Variant Variant::null() {
    Variant v;
    v.type_ = VarType::Null;
    return v;
}
Variant Variant::nothing() {
    return Variant(ObjectRef());
}
Variant Variant::missing() {
    return fromError(kMissingCode);
}
Variant Variant::fromDate(double oleDate) {
    Variant v;
    v.type_ = VarType::Date;
    v.d_ = oleDate;
    return v;
}
Variant Variant::fromByte(uint8_t b) {
    Variant v;
    v.type_ = VarType::Byte;
    v.i_ = b;
    return v;
}
Variant Variant::fromError(int32_t code) {
    Variant v;
    v.type_ = VarType::Error;
    v.i_ = code;
    return v;
}

bool Variant::isMissing() const {
    return type_ == VarType::Error && i_ == kMissingCode;
}

bool Variant::isNumeric() const {
    switch (type_) {
        case VarType::Boolean:
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Single:
        case VarType::Double:
        case VarType::Currency:
            return true;
        default:
            return false;
    }
}

double Variant::toNumber() const {
    switch (type_) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
            RaiseVbError(94);
        case VarType::Boolean:
            return b_ ? -1 : 0;
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            return static_cast<double>(i_);
        case VarType::Single:
        case VarType::Double:
        case VarType::Date:
            return d_;
        case VarType::Currency:
            return currencyValue().toDouble();
        case VarType::String: {
            double out = 0;
            if (ParseVbNumber(s_, out)) return out;
            if (ParseVbDate(s_, out)) return out;
            RaiseVbError(13);
        }
        case VarType::Object:
            if (obj_) {
                VariantList none;
                return obj_->invokeDefault(CallKind::PropertyGet, none).toNumber();
            }
            RaiseVbError(91);
        default:
            RaiseVbError(13);
    }
}

bool Variant::toBool() const {
    switch (type_) {
        case VarType::Boolean:
            return b_;
        case VarType::String: {
            const QString t = s_.trimmed();
            if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                t.compare(QLatin1String("Vero"), Qt::CaseInsensitive) == 0)
                return true;
            if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
                t.compare(QLatin1String("Falso"), Qt::CaseInsensitive) == 0)
                return false;
            double out = 0;
            if (ParseVbNumber(t, out)) return out != 0;
            RaiseVbError(13);
        }
        default:
            return toNumber() != 0;
    }
}

uint8_t Variant::toByte() const {
    return checkedWhole<uint8_t>(toNumber());
}

int16_t Variant::toInteger() const {
    if (type_ == VarType::Integer || type_ == VarType::Byte) return static_cast<int16_t>(i_);
    return checkedWhole<int16_t>(toNumber());
}

int32_t Variant::toLong() const {
    if (type_ == VarType::Long || type_ == VarType::Integer || type_ == VarType::Byte)
        return static_cast<int32_t>(i_);
    if (type_ == VarType::Currency) {
        // Exact: ten-thousandths to units, halves to even.
        const int64_t q = i_ / 10000, r = i_ % 10000;
        int64_t res = q;
        if (r > 5000 || (r == 5000 && (q % 2 != 0))) res = q + 1;
        if (r < -5000 || (r == -5000 && (q % 2 != 0))) res = q - 1;
        if (res < std::numeric_limits<int32_t>::min() || res > std::numeric_limits<int32_t>::max())
            RaiseVbError(6);
        return static_cast<int32_t>(res);
    }
    return checkedWhole<int32_t>(toNumber());
}

float Variant::toSingle() const {
    const double d = toNumber();
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) RaiseVbError(6);
    return static_cast<float>(d);
}

double Variant::toDouble() const {
    return toNumber();
}

Currency Variant::toCurrency() const {
    if (type_ == VarType::Currency) return currencyValue();
    if (type_ == VarType::Long || type_ == VarType::Integer || type_ == VarType::Byte)
        return Currency::fromLong(i_);
    return Currency::fromDouble(toNumber());
}

double Variant::toDate() const {
    switch (type_) {
        case VarType::Date:
            return d_;
        case VarType::String: {
            double out = 0;
            if (ParseVbDate(s_, out)) return out;
            if (!ParseVbNumber(s_, out)) RaiseVbError(13);
            // A number written as text meets the same range as any other number.
            if (!(out >= -657434.0 && out < 2958466.0)) RaiseVbError(6);
            return out;
        }
        default: {
            const double d = toNumber();
            // VB's date range: 1/1/100 to 31/12/9999 (and no NaN).
            if (!(d >= -657434.0 && d < 2958466.0)) RaiseVbError(6);
            return d;
        }
    }
}

QString Variant::toString() const {
    switch (type_) {
        case VarType::Empty:
            return QString();
        case VarType::Null:
            RaiseVbError(94);
        case VarType::Boolean:
            return b_ ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            return QString::number(i_);
        case VarType::Single:
            return FormatVbDouble(d_, 7);
        case VarType::Double:
            return FormatVbDouble(d_, 15);
        case VarType::Currency:
            return currencyValue().toString();
        case VarType::Date:
            return FormatVbDate(d_);
        case VarType::String:
            return s_;
        case VarType::Error:
            return QStringLiteral("Errore %1").arg(i_);
        case VarType::Object:
            if (obj_) {
                VariantList none;
                return obj_->invokeDefault(CallKind::PropertyGet, none).toString();
            }
            RaiseVbError(91);
        default:
            RaiseVbError(13);
    }
}

QString Variant::toText() const {
    if (type_ == VarType::Null || type_ == VarType::Empty) return QString();
    return toString();
}

ObjectRef Variant::toObject() const {
    if (type_ != VarType::Object) RaiseVbError(424);
    return obj_;
}

Variant Variant::convert(VarType to) const {
    if (type_ == VarType::Null) {
        if (to == VarType::String || to == VarType::Empty) RaiseVbError(94);
        return *this;
    }
    switch (to) {
        case VarType::Empty:
            return Variant();
        case VarType::Boolean:
            return Variant(toBool());
        case VarType::Byte:
            return fromByte(toByte());
        case VarType::Integer:
            return Variant(toInteger());
        case VarType::Long:
            return Variant(toLong());
        case VarType::Single:
            return Variant(toSingle());
        case VarType::Double:
            return Variant(toDouble());
        case VarType::Currency:
            return Variant(toCurrency());
        case VarType::Date:
            return fromDate(toDate());
        case VarType::String:
            return Variant(toString());
        case VarType::Object:
            return Variant(toObject());
        default:
            RaiseVbError(13);
    }
}

QString Variant::typeName() const {
    switch (type_) {
        case VarType::Empty:
            return QStringLiteral("Empty");
        case VarType::Null:
            return QStringLiteral("Null");
        case VarType::Boolean:
            return QStringLiteral("Boolean");
        case VarType::Byte:
            return QStringLiteral("Byte");
        case VarType::Integer:
            return QStringLiteral("Integer");
        case VarType::Long:
            return QStringLiteral("Long");
        case VarType::Single:
            return QStringLiteral("Single");
        case VarType::Double:
            return QStringLiteral("Double");
        case VarType::Currency:
            return QStringLiteral("Currency");
        case VarType::Date:
            return QStringLiteral("Date");
        case VarType::String:
            return QStringLiteral("String");
        case VarType::Error:
            return QStringLiteral("Error");
        case VarType::Object:
            return obj_ ? obj_->className() : QStringLiteral("Nothing");
        case VarType::Array:
            return QStringLiteral("Variant()");
    }
    return QString();
}

Variant Object::invokeDefault(CallKind, VariantList&) {
    RaiseVbError(438, className());
}
