// The default stored form of literals.
#include "odb/condition/ConditionSchema.h"

#include <cmath>

#include "odb/Schema.h"

namespace odb {

namespace {

SqlValue NumberValue(double v) {
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 9.0e15) return static_cast<int64_t>(v);
    return v;
}

// The literal as it stands, with no field to fit.
SqlValue PlainValue(const Variant& literal) {
    switch (literal.type()) {
        case VarType::Null:
        case VarType::Empty:
            return std::monostate{};
        case VarType::Boolean:
            return int64_t{literal.boolValue() ? 1 : 0};
        case VarType::String:
            return literal.stringValue();
        case VarType::Currency:
            return literal.currencyValue().raw();
        case VarType::Date:
            return literal.dateValue();
        default:
            return NumberValue(literal.toDouble());
    }
}

}  // namespace

SqlValue ConditionSchema::StoredValue(const Variant& literal, int32_t type) const {
    if (literal.isNull() || literal.isEmpty()) return std::monostate{};
    switch (type) {
        case ftBoolean:
            return int64_t{literal.toBool() ? 1 : 0};
        case ftLong:
        case ftDecimal:
        case ftQuantity:
            return NumberValue(literal.toDouble());
        case ftCurrency:
            return literal.toCurrency().raw();
        case ftDate:
        case ftTime:
        case ftDateTime:
            return literal.toDate();
        case ftText:
        case ftFileLink:
        case ftPictureFile:
        case ftImageFile:
        case ftMailLink:
        case ftCodeText:
        case ftMemo:
            return literal.type() == VarType::String ? literal.stringValue() : literal.toString();
        default:
            return PlainValue(literal);
    }
}

}  // namespace odb
