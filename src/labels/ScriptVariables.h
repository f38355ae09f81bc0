// ScriptVariables: the named values a layout script keeps on its engine from label to label (Vars,
// Nums, Strs): one list in order of storing, keys compared without regard to letter case.
#pragma once

#include <QString>

#include <utility>
#include <vector>

#include "base/Variant.h"

class ScriptVariables {
  public:
    // A numeric key is a position from 1; a text key is a name. A missing entry gives `missing`.
    Variant get(const Variant& key, const Variant& missing) const;
    // Replaces any entry of that name and puts the value last.
    void let(const Variant& key, const Variant& value);
    int count() const { return static_cast<int>(entries_.size()); }
    void reset() { entries_.clear(); }

  private:
    std::vector<std::pair<QString, Variant>> entries_;
};
