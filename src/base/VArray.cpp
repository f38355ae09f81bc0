// VB arrays: row-major storage, VB's bounds and ReDim Preserve rule.
#include "base/VArray.h"

#include "base/AppError.h"

VArray::VArray(std::vector<Bound> bounds) {
    redim(std::move(bounds), false);
}

VArray VArray::fromList(VariantList items) {
    VArray a;
    a.bounds_ = {Bound{0, static_cast<int32_t>(items.size())}};
    a.data_ = std::move(items);
    return a;
}

int32_t VArray::lbound(int dim) const {
    if (dim < 1 || dim > dimensions()) RaiseVbError(9);
    return bounds_[size_t(dim - 1)].lower;
}

int32_t VArray::ubound(int dim) const {
    if (dim < 1 || dim > dimensions()) RaiseVbError(9);
    const Bound& b = bounds_[size_t(dim - 1)];
    return b.lower + b.count - 1;
}

size_t VArray::offset(const std::vector<int32_t>& indexes) const {
    if (indexes.size() != bounds_.size()) RaiseVbError(9);
    size_t off = 0;
    for (size_t i = 0; i < indexes.size(); ++i) {
        const int64_t k = int64_t(indexes[i]) - bounds_[i].lower;
        if (k < 0 || k >= bounds_[i].count) RaiseVbError(9);
        off = off * size_t(bounds_[i].count) + size_t(k);
    }
    return off;
}

Variant& VArray::at(const std::vector<int32_t>& indexes) {
    return data_[offset(indexes)];
}
const Variant& VArray::at(const std::vector<int32_t>& indexes) const {
    return data_[offset(indexes)];
}

Variant& VArray::at1(int32_t index) {
    if (bounds_.size() != 1) RaiseVbError(9);
    const int64_t k = int64_t(index) - bounds_[0].lower;
    if (k < 0 || k >= bounds_[0].count) RaiseVbError(9);
    return data_[size_t(k)];
}

void VArray::redim(std::vector<Bound> bounds, bool preserve) {
    size_t total = 1;
    for (const Bound& b : bounds) {
        if (b.count < 0) RaiseVbError(9);
        total *= size_t(b.count);
    }
    if (preserve && !bounds_.empty()) {
        if (bounds.size() != bounds_.size()) RaiseVbError(9);
        for (size_t i = 0; i + 1 < bounds.size(); ++i)
            if (bounds[i].lower != bounds_[i].lower || bounds[i].count != bounds_[i].count) RaiseVbError(9);
        // Only the last dimension changes: with row-major storage the old rows are strided.
        const size_t rows = bounds.empty() ? 0 : total / std::max<size_t>(1, size_t(bounds.back().count));
        const size_t oldLast = size_t(bounds_.back().count), newLast = size_t(bounds.back().count);
        std::vector<Variant> next(total);
        for (size_t r = 0; r < rows; ++r)
            for (size_t c = 0; c < std::min(oldLast, newLast); ++c)
                next[r * newLast + c] = std::move(data_[r * oldLast + c]);
        data_ = std::move(next);
    } else {
        data_.assign(total, Variant());
    }
    bounds_ = std::move(bounds);
}

void VArray::erase() {
    for (Variant& v : data_)
        v = Variant();
}
