#include "odb/RowIds.h"

#include <algorithm>
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
    window_.clear();
    windowAt_ = 0;
    reader_ = nullptr;
    counter_ = nullptr;
    locator_ = nullptr;
    count_ = -1;
}

void RowIds::read(int64_t first, Reader reader, Counter counter, Locator locator) {
    // Read before anything is dropped: a read that fails (another computer's lock) leaves the list
    // as it was. One more than asked tells whether there is a rest.
    std::vector<int64_t> ids = reader(first + 1);
    clear();
    ids_ = std::move(ids);
    if (static_cast<int64_t>(ids_.size()) <= first) return;
    ids_.pop_back();
    reader_ = std::move(reader);
    counter_ = std::move(counter);
    locator_ = std::move(locator);
}

bool RowIds::beyondRead(int64_t i) const {
    if (i < 0) return false;
    if (known(i)) return false;
    if (!partial()) return true;
    if (count_ >= 0 && i < count_) return false;
    complete();
    return !known(i);
}

int64_t RowIds::atRead(int64_t i) const {
    if (!known(i) && partial()) complete();
    if (inWindow(i)) return window_[static_cast<size_t>(i - windowAt_)];
    return known(i) ? ids_[static_cast<size_t>(i)] : 0;
}

int64_t RowIds::count() const {
    if (!partial()) return static_cast<int64_t>(ids_.size());
    if (count_ < 0)
        count_ = std::max({counter_(), static_cast<int64_t>(ids_.size()) + 1,
                           windowAt_ + static_cast<int64_t>(window_.size())});
    return count_;
}

int64_t RowIds::find(int64_t id) const {
    for (size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == id) return static_cast<int64_t>(i);
    if (!partial()) return -1;
    for (size_t i = 0; i < window_.size(); ++i)
        if (window_[i] == id) return windowAt_ + static_cast<int64_t>(i);
    // One window at a time: a second row sought elsewhere reads the whole list.
    if (locator_ && window_.empty()) {
        Located found = locator_(id, ids_);
        if (found.at < 0) return -1;
        const int64_t n = static_cast<int64_t>(ids_.size());
        const int64_t k = found.at - found.first;
        if (found.first >= n && k >= 0 && k < static_cast<int64_t>(found.ids.size()) &&
            found.ids[static_cast<size_t>(k)] == id) {
            window_ = std::move(found.ids);
            windowAt_ = found.first;
            if (count_ >= 0) count_ = std::max(count_, windowAt_ + static_cast<int64_t>(window_.size()));
            return found.at;
        }
    }
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
    // A read that fails leaves the list partial, to be completed by a later call.
    std::vector<int64_t> rest = reader_(-1);
    reader_ = nullptr;
    counter_ = nullptr;
    locator_ = nullptr;
    count_ = -1;
    std::vector<int64_t> window = std::move(window_);
    window_.clear();
    const size_t at = static_cast<size_t>(windowAt_);
    windowAt_ = 0;
    auto same = [&](const std::vector<int64_t>& part, size_t from) {
        return rest.size() >= from + part.size() && std::equal(part.begin(), part.end(), rest.begin() + from);
    };
    if (same(ids_, 0) && same(window, at)) {
        ids_ = std::move(rest);
        return;
    }
    // Rows changed on the way (another computer): the rows already seen keep their places (the
    // window's right after the first rows' when too few others are left), the others follow in
    // view order.
    std::unordered_set<int64_t> placed(ids_.begin(), ids_.end());
    placed.insert(window.begin(), window.end());
    auto next = rest.begin();
    auto take = [&]() {
        while (next != rest.end() && placed.count(*next))
            ++next;
        if (next == rest.end()) return false;
        ids_.push_back(*next++);
        return true;
    };
    while (!window.empty() && ids_.size() < at && take()) {
    }
    ids_.insert(ids_.end(), window.begin(), window.end());
    while (take()) {
    }
}

}  // namespace odb
