// Script variables: a short list searched by name.
#include "labels/ScriptVariables.h"

#include "base/AppError.h"

namespace {

bool sameKey(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

Variant ScriptVariables::get(const Variant& key, const Variant& missing) const {
    if (key.isNumeric()) {
        const double position = RoundHalfEven(key.toDouble());
        if (position >= 1 && position <= count()) return entries_[static_cast<size_t>(position) - 1].second;
        return missing;
    }
    if (key.isObject() || key.isArray()) return missing;
    const QString name = key.toText();
    for (const auto& e : entries_)
        if (sameKey(e.first, name)) return e.second;
    return missing;
}

void ScriptVariables::let(const Variant& key, const Variant& value) {
    if (key.isObject() || key.isArray()) RaiseVbError(13);
    const QString name = key.toText();
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (sameKey(it->first, name)) {
            entries_.erase(it);
            break;
        }
    entries_.emplace_back(name, value);
}
