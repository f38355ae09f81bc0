#include "odb/RowIds.h"

#include <unordered_set>

namespace odb {

RowIds& RowIds::operator=(const RowIds& other) {
    if (this != &other) *this = other.all();
    return *this;
}

RowIds& RowIds::operator=(std::vector<int64_t> ids) {
    clear();
    ids_ = std::move(ids);
    return *this;
}

void RowIds::clear() {
    ids_.clear();
    reader_ = nullptr;
    counter_ = nullptr;
    count_ = -1;
}

void RowIds::read(int64_t first, Reader reader, Counter counter) {
    clear();
    // One more than asked tells whether there is a rest.
    ids_ = reader(first + 1);
    if (static_cast<int64_t>(ids_.size()) <= first) return;
    ids_.pop_back();
    reader_ = std::move(reader);
    counter_ = std::move(counter);
}

bool RowIds::beyond(int64_t i) const {
    if (i < 0) return false;
    if (known(i)) return false;
    if (!partial()) return true;
    if (count_ >= 0 && i < count_) return false;
    complete();
    return !known(i);
}

int64_t RowIds::at(int64_t i) const {
    if (!known(i) && partial()) complete();
    return known(i) ? ids_[static_cast<size_t>(i)] : 0;
}

int64_t RowIds::count() const {
    if (!partial()) return static_cast<int64_t>(ids_.size());
    if (count_ < 0) count_ = std::max(counter_(), static_cast<int64_t>(ids_.size()) + 1);
    return count_;
}

int64_t RowIds::find(int64_t id) const {
    for (size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == id) return static_cast<int64_t>(i);
    if (!partial()) return -1;
    const size_t from = ids_.size();
    complete();
    for (size_t i = from; i < ids_.size(); ++i)
        if (ids_[i] == id) return static_cast<int64_t>(i);
    return -1;
}

const std::vector<int64_t>& RowIds::all() const {
    if (partial()) complete();
    return ids_;
}

std::vector<int64_t>& RowIds::all() {
    if (partial()) complete();
    return ids_;
}

void RowIds::complete() const {
    const Reader reader = std::move(reader_);
    reader_ = nullptr;
    counter_ = nullptr;
    count_ = -1;
    std::vector<int64_t> rest = reader(-1);
    const size_t seen = ids_.size();
    if (rest.size() >= seen && std::equal(ids_.begin(), ids_.end(), rest.begin())) {
        ids_ = std::move(rest);
        return;
    }
    // Rows changed on the way (another computer): the rows already seen keep their places, the
    // others follow in view order.
    const std::unordered_set<int64_t> first(ids_.begin(), ids_.end());
    for (int64_t id : rest)
        if (!first.count(id)) ids_.push_back(id);
}

}  // namespace odb
