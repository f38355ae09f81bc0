// Dispatch: the binding through which C++ objects expose methods and properties by name to scripts
// and other late-bound callers: declared parameter types, optional arguments, indexed properties.
#pragma once

#include <QString>

#include <functional>
#include <type_traits>
#include <vector>

#include "base/Object.h"

// One declared parameter. type Empty takes any value as given; other types convert the argument
// with VB's rules (13 type mismatch, 6 overflow, 94 invalid use of Null).
struct DispatchParam {
    QString name;
    VarType type = VarType::Empty;
    bool optional = false;
    Variant defaultValue = Variant::missing();  // for an omitted optional argument
    bool byRef = false;                         // the member's changes go back to the caller
};

// The arguments a member receives, converted to the declared types. An omitted optional
// argument without a default stays Variant::missing().
class DispatchArgs {
  public:
    DispatchArgs(VariantList& raw, const std::vector<DispatchParam>& params);

    int count() const { return static_cast<int>(values_.size()); }
    bool isMissing(int i) const { return i >= count() || values_[i].isMissing(); }
    const Variant& operator[](int i) const { return values_[i]; }
    // Writable argument; a by-reference parameter hands its final value back to the caller.
    Variant& ref(int i) { return values_[i]; }

    bool boolean(int i) const { return values_[i].toBool(); }
    int16_t integer(int i) const { return values_[i].toInteger(); }
    int32_t lng(int i) const { return values_[i].toLong(); }
    float single(int i) const { return values_[i].toSingle(); }
    double dbl(int i) const { return values_[i].toDouble(); }
    QString string(int i) const { return values_[i].toText(); }

    void writeBack();

  private:
    VariantList& raw_;
    const std::vector<DispatchParam>& params_;
    VariantList values_;
};

// The member table of one class, built once and shared by all its objects.
class DispatchClass {
  public:
    using Handler = std::function<Variant(Object& self, DispatchArgs& args)>;

    explicit DispatchClass(QString className) : className_(std::move(className)) {}

    const QString& className() const { return className_; }

    // For let and set, the assigned value is the last parameter.
    DispatchClass& addMethod(const QString& name, std::vector<DispatchParam> params, Handler h);
    DispatchClass& addGet(const QString& name, std::vector<DispatchParam> params, Handler h);
    DispatchClass& addLet(const QString& name, std::vector<DispatchParam> params, Handler h);
    DispatchClass& addSet(const QString& name, std::vector<DispatchParam> params, Handler h);
    // obj(args) reaches this member.
    DispatchClass& setDefaultMember(const QString& name);

    bool hasMember(const QString& name) const;
    // Unknown names raise 438, wrong argument counts 450, missing required arguments 449.
    Variant invoke(Object& self, const QString& name, CallKind kind, VariantList& args) const;
    Variant invokeDefault(Object& self, CallKind kind, VariantList& args) const;

  private:
    struct Member {
        QString name;
        CallKind kind;
        std::vector<DispatchParam> params;
        Handler handler;
    };
    DispatchClass& add(const QString& name, CallKind kind, std::vector<DispatchParam> params, Handler h);
    const Member* find(const QString& name, CallKind kind) const;
    Variant call(Object& self, const Member& m, VariantList& args) const;

    QString className_;
    QString defaultMember_;
    std::vector<Member> members_;
};

// A DispatchClass whose handlers take the concrete type: handlers may return void or a value.
template <class T>
class DispatchClassOf : public DispatchClass {
  public:
    using DispatchClass::DispatchClass;

    template <class F>
    DispatchClassOf& method(const QString& name, std::vector<DispatchParam> params, F f) {
        addMethod(name, std::move(params), wrap(std::move(f)));
        return *this;
    }
    template <class F>
    DispatchClassOf& get(const QString& name, std::vector<DispatchParam> params, F f) {
        addGet(name, std::move(params), wrap(std::move(f)));
        return *this;
    }
    template <class F>
    DispatchClassOf& let(const QString& name, std::vector<DispatchParam> params, F f) {
        addLet(name, std::move(params), wrap(std::move(f)));
        return *this;
    }
    template <class F>
    DispatchClassOf& set(const QString& name, std::vector<DispatchParam> params, F f) {
        addSet(name, std::move(params), wrap(std::move(f)));
        return *this;
    }

  private:
    template <class F>
    static Handler wrap(F f) {
        return [f = std::move(f)](Object& self, DispatchArgs& args) -> Variant {
            if constexpr (std::is_void_v<std::invoke_result_t<F&, T&, DispatchArgs&>>) {
                f(static_cast<T&>(self), args);
                return Variant();
            } else {
                return Variant(f(static_cast<T&>(self), args));
            }
        };
    }
};

// An Object whose members come from a DispatchClass.
class Dispatch : public Object {
  public:
    explicit Dispatch(const DispatchClass& cls) : class_(cls) {}

    QString className() const override { return class_.className(); }
    Variant invoke(const QString& name, CallKind kind, VariantList& args) override;
    Variant invokeDefault(CallKind kind, VariantList& args) override;

  private:
    const DispatchClass& class_;
};

// Shorthands for parameter lists.
inline DispatchParam Param(const QString& name, VarType type = VarType::Empty) {
    return {name, type};
}
inline DispatchParam OptParam(const QString& name, VarType type = VarType::Empty,
                              Variant defaultValue = Variant::missing()) {
    return {name, type, true, std::move(defaultValue)};
}
inline DispatchParam RefParam(const QString& name, VarType type = VarType::Empty) {
    return {name, type, false, Variant::missing(), true};
}
