// GlobalScope: what a host's texts share: script-level variables, constants and procedures.
#pragma once

#include <QHash>
#include <QString>

#include <deque>

#include "base/Variant.h"

namespace vbs {

struct Procedure;

struct GlobalScope {
    QHash<QString, int> varIndex;  // lower-case name -> slot in values
    std::deque<Variant> values;    // a deque: slots keep their address as more are added
    QHash<QString, Variant> constants;
    QHash<QString, Procedure*> procedures;

    int addVariable(const QString& lowerName) {
        const auto it = varIndex.constFind(lowerName);
        if (it != varIndex.constEnd()) return *it;
        values.emplace_back();
        const int slot = static_cast<int>(values.size()) - 1;
        varIndex.insert(lowerName, slot);
        return slot;
    }
};

}  // namespace vbs
