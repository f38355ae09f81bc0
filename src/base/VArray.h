// VArray: a VB array with one or more dimensions, each with its lower bound.
#pragma once

#include <vector>

#include "base/Variant.h"

class VArray {
  public:
    struct Bound {
        int32_t lower = 0;
        int32_t count = 0;  // upper = lower + count - 1
    };

    VArray() = default;
    explicit VArray(std::vector<Bound> bounds);
    static VArray fromList(VariantList items);  // Array(...): one dimension from 0

    int dimensions() const { return static_cast<int>(bounds_.size()); }
    int32_t lbound(int dim = 1) const;  // 1-based dimension; raises 9 when out of range
    int32_t ubound(int dim = 1) const;
    int32_t count() const { return static_cast<int32_t>(data_.size()); }

    // Element by indexes; raises 9 (subscript out of range).
    Variant& at(const std::vector<int32_t>& indexes);
    const Variant& at(const std::vector<int32_t>& indexes) const;
    Variant& at1(int32_t index);  // one-dimensional shortcut

    // ReDim [Preserve]: Preserve keeps the values and may change only the last dimension.
    void redim(std::vector<Bound> bounds, bool preserve);
    void erase();  // Erase: every element back to Empty

    std::vector<Variant>& data() { return data_; }
    const std::vector<Variant>& data() const { return data_; }
    const std::vector<Bound>& bounds() const { return bounds_; }

  private:
    size_t offset(const std::vector<int32_t>& indexes) const;
    std::vector<Bound> bounds_;
    std::vector<Variant> data_;
};
