// RowIds: the identities of a data set's rows in view order. A large view is read a part at a
// time: its first rows at once, the count when asked, a row sought past them with the rows around
// it, the rest only when a position elsewhere or the whole list is needed.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace odb {

class RowIds {
  public:
    // Reads the identities in view order, at most `limit` of them (-1: all).
    using Reader = std::function<std::vector<int64_t>(int64_t limit)>;
    using Counter = std::function<int64_t()>;
    // Where a row not among the `seen` first rows stands in the list the rest would complete (the
    // seen rows keep their places, the others follow in view order), with the rows around it.
    struct Located {
        int64_t at = -1;     // -1: not in the view
        int64_t first = -1;  // the position of ids.front()
        std::vector<int64_t> ids;
    };
    using Locator = std::function<Located(int64_t id, const std::vector<int64_t>& seen)>;

    RowIds() = default;
    RowIds(const RowIds& other) : ids_(other.all()) {}
    RowIds& operator=(const RowIds& other);
    RowIds& operator=(std::vector<int64_t> ids);
    RowIds& operator=(std::initializer_list<int64_t> ids) { return *this = std::vector<int64_t>(ids); }

    // Reads the first `first` rows; the rest stays unread while nobody needs it.
    void read(int64_t first, Reader reader, Counter counter, Locator locator = nullptr);
    bool partial() const { return static_cast<bool>(reader_); }

    // Without reading the rest where it can.
    bool none() const { return ids_.empty(); }
    // A row's position among those read is answered inline: every field read of a data set asks.
    bool beyond(int64_t i) const {  // no row at position i (nor past it)
        return inFirst(i) ? false : beyondRead(i);
    }
    int64_t at(int64_t i) const {  // 0 past the last row
        return inFirst(i) && !inWindow(i) ? ids_[static_cast<size_t>(i)] : atRead(i);
    }
    bool known(int64_t i) const { return inFirst(i) || inWindow(i); }
    int64_t count() const;
    int64_t find(int64_t id) const;  // the position of a row, -1 when it is not in the view

    // The whole list, read first when partial.
    const std::vector<int64_t>& all() const;
    std::vector<int64_t>& all();
    operator const std::vector<int64_t>&() const { return all(); }
    size_t size() const { return all().size(); }
    bool empty() const { return none(); }
    int64_t operator[](size_t i) const { return all()[i]; }
    int64_t front() const { return all().front(); }
    std::vector<int64_t>::const_iterator begin() const { return all().begin(); }
    std::vector<int64_t>::const_iterator end() const { return all().end(); }
    std::vector<int64_t>::iterator begin() { return all().begin(); }
    std::vector<int64_t>::iterator end() { return all().end(); }
    void push_back(int64_t id) { all().push_back(id); }
    void erase(std::vector<int64_t>::iterator it) { all().erase(it); }
    void insert(std::vector<int64_t>::iterator it, int64_t id) { all().insert(it, id); }
    void resize(size_t n) { all().resize(n); }
    void clear();

  private:
    void complete() const;
    bool beyondRead(int64_t i) const;
    int64_t atRead(int64_t i) const;
    bool inFirst(int64_t i) const { return i >= 0 && i < static_cast<int64_t>(ids_.size()); }
    bool inWindow(int64_t i) const {
        return i >= windowAt_ && i - windowAt_ < static_cast<int64_t>(window_.size());
    }

    mutable std::vector<int64_t> ids_;
    // Rows read around a row sought past the first ones, from position windowAt_.
    mutable std::vector<int64_t> window_;
    mutable int64_t windowAt_ = 0;
    mutable Locator locator_;
    mutable Reader reader_;  // set while only the first rows are read
    mutable Counter counter_;
    mutable int64_t count_ = -1;
};

}  // namespace odb
