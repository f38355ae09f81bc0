// Object: a late-bound object that values of type Object refer to. Members are found by name,
// case-insensitively; arguments are positional, may be omitted (Variant::missing()) and are
// passed by reference (a callee may write them back).
#pragma once

#include <QString>

#include "base/Variant.h"

enum class CallKind {
    Method,       // obj.Name args  /  x = obj.Name(args)
    PropertyGet,  // x = obj.Name(args) when Name is a property
    PropertyLet,  // obj.Name(args) = value: the value is the last argument
    PropertySet,  // Set obj.Name(args) = object: the object is the last argument
};

class Object {
  public:
    virtual ~Object() = default;
    // The class name that TypeName() and error sources show.
    virtual QString className() const = 0;
    // Calls a member. Unknown members raise 438; wrong argument counts raise 450.
    // For Method and PropertyGet the result is returned; for lets it is ignored.
    virtual Variant invoke(const QString& name, CallKind kind, VariantList& args) = 0;
    // The default member (obj(args)); by default there is none.
    virtual Variant invokeDefault(CallKind kind, VariantList& args);
};
