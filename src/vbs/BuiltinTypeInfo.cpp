// Tests and type information: IsNull, IsEmpty, IsNumeric, IsDate, IsObject, IsArray, TypeName, VarType.
#include "base/AppError.h"
#include "base/Object.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

// The argument as passed: these functions look at the value itself, not an object's default.
const Variant& rawArg(const VariantList& args) {
    if (!HasArg(args, 0)) RaiseVbError(449);
    return args[0];
}

// An object's default value for the tests; an object without one counts as not a number or date.
bool valueForTest(const VariantList& args, Variant& out) {
    try {
        out = ArgValue(args, 0);
        return true;
    } catch (const AppError&) {
        return false;
    }
}

Variant IsNull(BuiltinContext&, VariantList& args) {
    return Variant(rawArg(args).isNull());
}
Variant IsEmpty(BuiltinContext&, VariantList& args) {
    return Variant(rawArg(args).isEmpty());
}
Variant IsObject(BuiltinContext&, VariantList& args) {
    return Variant(rawArg(args).isObject());
}
Variant IsArray(BuiltinContext&, VariantList& args) {
    return Variant(rawArg(args).isArray());
}

Variant IsNumeric(BuiltinContext&, VariantList& args) {
    rawArg(args);
    Variant v;
    if (!valueForTest(args, v)) return Variant(false);
    if (v.isEmpty() || v.isNumeric()) return Variant(true);
    double number = 0;
    return Variant(v.isString() && ParseVbNumber(v.stringValue(), number));
}

Variant IsDate(BuiltinContext&, VariantList& args) {
    rawArg(args);
    Variant v;
    if (!valueForTest(args, v)) return Variant(false);
    if (v.type() == VarType::Date) return Variant(true);
    double date = 0;
    return Variant(v.isString() && ParseVbDate(v.stringValue(), date));
}

Variant TypeName(BuiltinContext&, VariantList& args) {
    return Variant(rawArg(args).typeName());
}

// An object with a default member answers with its value's type, as VBScript does; others are vbObject.
Variant VarType(BuiltinContext&, VariantList& args) {
    const Variant& v = rawArg(args);
    int code = static_cast<int>(v.type());
    if (v.isArray()) {
        code = static_cast<int>(::VarType::Array) | 12;  // an array of Variants
    } else if (v.isObject() && v.objectValue()) {
        Variant value;
        if (valueForTest(args, value) && !value.isObject()) code = static_cast<int>(value.type());
        if (value.isArray()) code = static_cast<int>(::VarType::Array) | 12;
    }
    return Variant(static_cast<int16_t>(code));
}

}  // namespace

void AddTypeInfoBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"IsNull", 1, 1, IsNull},
                                  {"IsEmpty", 1, 1, IsEmpty},
                                  {"IsNumeric", 1, 1, IsNumeric},
                                  {"IsDate", 1, 1, IsDate},
                                  {"IsObject", 1, 1, IsObject},
                                  {"IsArray", 1, 1, IsArray},
                                  {"TypeName", 1, 1, TypeName},
                                  {"VarType", 1, 1, VarType},
                              });
}

}  // namespace vbs
