// Dispatch: member lookup by name, argument checks and VB conversions for late-bound objects.
#include "base/Dispatch.h"

#include "base/AppError.h"

DispatchArgs::DispatchArgs(VariantList& raw, const std::vector<DispatchParam>& params)
    : raw_(raw), params_(params) {
    values_.reserve(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
        const DispatchParam& p = params[i];
        const bool given = i < raw.size() && !raw[i].isMissing();
        if (!given) {
            if (!p.optional) RaiseVbError(449);
            values_.push_back(p.defaultValue.isMissing() || p.type == VarType::Empty
                                  ? p.defaultValue
                                  : p.defaultValue.convert(p.type));
            continue;
        }
        const Variant& v = raw[i];
        if (p.type == VarType::Empty || p.type == v.type())
            values_.push_back(v);
        else if (v.isNull())  // a typed parameter cannot hold Null
            RaiseVbError(94);
        else if (p.type == VarType::Object)
            values_.push_back(Variant(v.toObject()));
        else if (v.isObject())  // an object's default value, as VB passes it
            values_.push_back([&] {
                if (!v.objectValue()) RaiseVbError(91);
                VariantList none;
                return v.objectValue()->invokeDefault(CallKind::PropertyGet, none);
            }()
                                  .convert(p.type));
        else
            values_.push_back(v.convert(p.type));
    }
}

void DispatchArgs::writeBack() {
    for (size_t i = 0; i < params_.size() && i < raw_.size(); ++i)
        if (params_[i].byRef && !raw_[i].isMissing()) raw_[i] = values_[i];
}

DispatchClass& DispatchClass::add(const QString& name, CallKind kind, std::vector<DispatchParam> params,
                                  Handler h) {
    members_.push_back({name, kind, std::move(params), std::move(h)});
    return *this;
}

DispatchClass& DispatchClass::addMethod(const QString& name, std::vector<DispatchParam> params, Handler h) {
    return add(name, CallKind::Method, std::move(params), std::move(h));
}
DispatchClass& DispatchClass::addGet(const QString& name, std::vector<DispatchParam> params, Handler h) {
    return add(name, CallKind::PropertyGet, std::move(params), std::move(h));
}
DispatchClass& DispatchClass::addLet(const QString& name, std::vector<DispatchParam> params, Handler h) {
    return add(name, CallKind::PropertyLet, std::move(params), std::move(h));
}
DispatchClass& DispatchClass::addSet(const QString& name, std::vector<DispatchParam> params, Handler h) {
    return add(name, CallKind::PropertySet, std::move(params), std::move(h));
}
DispatchClass& DispatchClass::setDefaultMember(const QString& name) {
    defaultMember_ = name;
    return *this;
}

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

bool DispatchClass::hasMember(const QString& name) const {
    for (const Member& m : members_)
        if (sameName(m.name, name)) return true;
    return false;
}

// Method and property get answer each other's calls: a caller reading obj.Name(args) cannot
// tell which one the class declares. A set falls back on a let.
const DispatchClass::Member* DispatchClass::find(const QString& name, CallKind kind) const {
    const Member* fallback = nullptr;
    bool known = false;
    for (const Member& m : members_) {
        if (!sameName(m.name, name)) continue;
        known = true;
        if (m.kind == kind) return &m;
        const bool readPair = (kind == CallKind::Method && m.kind == CallKind::PropertyGet) ||
                              (kind == CallKind::PropertyGet && m.kind == CallKind::Method);
        const bool writePair = kind == CallKind::PropertySet && m.kind == CallKind::PropertyLet;
        if ((readPair || writePair) && !fallback) fallback = &m;
    }
    if (fallback) return fallback;
    if (known) RaiseVbError(450, className_);  // e.g. assigning a read-only property
    RaiseVbError(438, className_);
}

Variant DispatchClass::call(Object& self, const Member& m, VariantList& args) const {
    if (args.size() > m.params.size()) RaiseVbError(450, className_);
    DispatchArgs converted(args, m.params);
    Variant result;
    try {
        result = m.handler(self, converted);
    } catch (const AppError&) {
        throw;
    } catch (const std::exception& e) {
        throw AppError(440, className_, ErrorDescription(e));
    }
    converted.writeBack();
    return result;
}

Variant DispatchClass::invoke(Object& self, const QString& name, CallKind kind, VariantList& args) const {
    return call(self, *find(name, kind), args);
}

Variant DispatchClass::invokeDefault(Object& self, CallKind kind, VariantList& args) const {
    if (defaultMember_.isEmpty()) RaiseVbError(438, className_);
    return invoke(self, defaultMember_, kind, args);
}

Variant Dispatch::invoke(const QString& name, CallKind kind, VariantList& args) {
    return class_.invoke(*this, name, kind, args);
}

Variant Dispatch::invokeDefault(CallKind kind, VariantList& args) {
    return class_.invokeDefault(*this, kind, args);
}
