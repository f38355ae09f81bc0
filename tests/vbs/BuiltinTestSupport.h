// Calling the built-in functions by name from tests, and tables of expected results.
#pragma once

#include <gtest/gtest.h>

#include <QString>

#include <string>
#include <vector>

#include "base/AppError.h"
#include "base/Object.h"
#include "base/Variant.h"
#include "vbs/Builtins.h"
#include "vbs/ScriptServices.h"

namespace builtintest {

// Calls a built-in as the interpreter would, after checking the argument count against the table.
inline Variant Call(const char* name, VariantList args, vbs::BuiltinContext* context = nullptr) {
    const vbs::BuiltinDef* def = vbs::FindBuiltin(QString::fromLatin1(name));
    if (!def) {
        ADD_FAILURE() << "no built-in " << name;
        return Variant();
    }
    const int count = static_cast<int>(args.size());
    EXPECT_GE(count, def->minArgs) << name;
    if (def->maxArgs >= 0) {
        EXPECT_LE(count, def->maxArgs) << name;
    }
    vbs::BuiltinContext none;
    return def->fn(context ? *context : none, args);
}

// The error number a call raises, 0 when it returns.
inline int ErrorOf(const char* name, VariantList args, vbs::BuiltinContext* context = nullptr) {
    try {
        Call(name, std::move(args), context);
    } catch (const AppError& e) {
        return e.number();
    }
    return 0;
}

// "Left(String test, Long 2)" for failure messages.
inline QString Describe(const char* fn, const VariantList& args) {
    QString call = QString::fromLatin1(fn) + QLatin1Char('(');
    for (size_t i = 0; i < args.size(); ++i) {
        const Variant& a = args[i];
        call += (i ? QStringLiteral(", ") : QString()) + a.typeName();
        if (!a.isArray() && !a.isObject() && !a.isMissing()) call += QLatin1Char(' ') + a.toText();
    }
    return call + QLatin1Char(')');
}

// One call and the subtype and text (as CStr shows it, "" for Null) of its result.
struct Case {
    const char* fn;
    VariantList args;
    VarType type;
    const char* text;
};

inline void CheckCases(const std::vector<Case>& cases, vbs::BuiltinContext* context = nullptr) {
    for (const Case& c : cases) {
        const QString call = Describe(c.fn, c.args);
        try {
            const Variant got = Call(c.fn, c.args, context);
            EXPECT_EQ(static_cast<int>(got.type()), static_cast<int>(c.type)) << call.toStdString();
            EXPECT_EQ(got.toText().toStdString(), std::string(c.text)) << call.toStdString();
        } catch (const AppError& e) {
            ADD_FAILURE() << call.toStdString() << " raised " << e.number();
        }
    }
}

struct ErrorCase {
    const char* fn;
    VariantList args;
    int error;
};

inline void CheckErrors(const std::vector<ErrorCase>& cases, vbs::BuiltinContext* context = nullptr) {
    for (const ErrorCase& c : cases) {
        const QString call = Describe(c.fn, c.args);
        EXPECT_EQ(ErrorOf(c.fn, c.args, context), c.error) << call.toStdString();
    }
}

// An object whose default member holds a value, like a data-set field; `hasDefault` false makes it
// an object without one.
class ValueObject : public Object {
  public:
    explicit ValueObject(Variant value, bool hasDefault = true)
        : value_(std::move(value)), hasDefault_(hasDefault) {}
    QString className() const override { return QStringLiteral("Campo"); }
    Variant invoke(const QString&, CallKind, VariantList&) override { RaiseVbError(438); }
    Variant invokeDefault(CallKind kind, VariantList& args) override {
        if (!hasDefault_) return Object::invokeDefault(kind, args);
        return value_;
    }

  private:
    Variant value_;
    bool hasDefault_;
};

inline Variant Obj(Variant value, bool hasDefault = true) {
    return Variant(ObjectRef(std::make_shared<ValueObject>(std::move(value), hasDefault)));
}

inline Variant Missing() {
    return Variant::missing();
}
inline Variant Int(int v) {
    return Variant(static_cast<int16_t>(v));
}

}  // namespace builtintest
