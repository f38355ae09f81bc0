// The identities of a view read a part at a time: the first rows, the count and the rest each
// read only when needed, and rows seen keeping their places when others changed on the way.
#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

#include "odb/RowIds.h"

namespace {

using odb::RowIds;

// A view of `rows` identities 1..n, counting what was asked of it.
struct Source {
    std::vector<int64_t> rows;
    int reads = 0, fullReads = 0, counts = 0;
    bool locked = false;  // another computer holds the file: every read fails
    explicit Source(int n) : rows(static_cast<size_t>(n)) { std::iota(rows.begin(), rows.end(), 1); }
    bool locating = false;
    int locates = 0;
    void open(RowIds& ids, int64_t first) {
        RowIds::Locator locator;
        // As a file would answer: the row's place in the list the rest would complete, and up to
        // two rows on each side that were not seen.
        if (locating)
            locator = [this](int64_t id, const std::vector<int64_t>& seen) {
                ++locates;
                std::vector<int64_t> merged = seen;
                for (int64_t r : rows)
                    if (std::find(seen.begin(), seen.end(), r) == seen.end()) merged.push_back(r);
                RowIds::Located found;
                const auto it = std::find(rows.begin(), rows.end(), id);
                if (it == rows.end()) return found;
                found.at = std::find(merged.begin(), merged.end(), id) - merged.begin();
                found.first = std::max<int64_t>(found.at - 2, static_cast<int64_t>(seen.size()));
                const int64_t last = std::min<int64_t>(found.at + 3, static_cast<int64_t>(merged.size()));
                found.ids.assign(merged.begin() + found.first, merged.begin() + last);
                return found;
            };
        ids.read(
            first,
            [this](int64_t limit) {
                if (locked) throw std::runtime_error("busy");
                ++reads;
                if (limit < 0) ++fullReads;
                const size_t n = limit < 0 ? rows.size() : std::min(rows.size(), static_cast<size_t>(limit));
                return std::vector<int64_t>(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(n));
            },
            [this] {
                ++counts;
                return static_cast<int64_t>(rows.size());
            },
            locator);
    }
};

TEST(RowIdsTest, AViewNoLargerThanTheFirstRowsIsReadWholeAtOnce) {
    for (int n : {0, 1, 10}) {
        Source s(n);
        RowIds ids;
        s.open(ids, 10);
        EXPECT_FALSE(ids.partial()) << n;
        EXPECT_EQ(ids.count(), n);
        EXPECT_EQ(ids.none(), n == 0);
        EXPECT_TRUE(ids.beyond(n));
        EXPECT_EQ(ids.at(n), 0);
        EXPECT_EQ(s.reads, 1);
        EXPECT_EQ(s.counts, 0);
    }
}

TEST(RowIdsTest, TheRestIsReadOnlyWhenAPositionPastTheFirstRowsIsAsked) {
    Source s(100);
    RowIds ids;
    s.open(ids, 10);
    ASSERT_TRUE(ids.partial());
    // The first rows and the count need no full read.
    EXPECT_EQ(ids.at(9), 10);
    EXPECT_FALSE(ids.beyond(9));
    EXPECT_EQ(ids.count(), 100);
    EXPECT_EQ(ids.count(), 100);
    EXPECT_EQ(s.counts, 1);
    EXPECT_FALSE(ids.beyond(50));  // under the count: known there without reading
    EXPECT_EQ(s.fullReads, 0);
    EXPECT_EQ(ids.at(10), 11);
    EXPECT_EQ(s.fullReads, 1);
    EXPECT_FALSE(ids.partial());
    EXPECT_TRUE(ids.beyond(100));
    EXPECT_EQ(ids.find(100), 99);
    EXPECT_EQ(s.fullReads, 1);
}

TEST(RowIdsTest, FindingAFirstRowReadsNothingMoreAndAMissingOneReadsTheRest) {
    Source s(100);
    RowIds ids;
    s.open(ids, 10);
    EXPECT_EQ(ids.find(5), 4);
    EXPECT_EQ(s.fullReads, 0);
    EXPECT_EQ(ids.find(1000), -1);
    EXPECT_EQ(s.fullReads, 1);
}

TEST(RowIdsTest, AReadThatFailsLeavesTheListAsItWasForTheNextRead) {
    Source s(100);
    RowIds ids;
    s.open(ids, 10);
    s.locked = true;
    EXPECT_THROW(ids.at(50), std::runtime_error);
    EXPECT_THROW(s.open(ids, 10), std::runtime_error);
    EXPECT_TRUE(ids.partial());
    EXPECT_EQ(ids.at(9), 10);
    EXPECT_EQ(ids.count(), 100);
    s.locked = false;
    EXPECT_EQ(ids.at(50), 51);
    EXPECT_EQ(ids.size(), 100u);
}

TEST(RowIdsTest, CopiesAndChangesWorkOnTheWholeList) {
    Source s(30);
    RowIds ids;
    s.open(ids, 10);
    RowIds copy(ids);
    EXPECT_FALSE(copy.partial());
    EXPECT_EQ(copy.size(), 30u);
    ids.push_back(99);
    EXPECT_EQ(ids.count(), 31);
    EXPECT_EQ(ids.at(30), 99);
    ids = {7};
    EXPECT_EQ(ids.count(), 1);
    EXPECT_EQ(ids.front(), 7);
}

TEST(RowIdsTest, RowsSeenKeepTheirPlacesWhenOthersChangedBeforeTheRest) {
    Source s(30);
    RowIds ids;
    s.open(ids, 10);
    // Another computer adds a row sorting first and deletes the third.
    s.rows.insert(s.rows.begin(), 500);
    s.rows.erase(std::find(s.rows.begin(), s.rows.end(), 3));
    const std::vector<int64_t>& all = ids.all();
    ASSERT_EQ(all.size(), 31u);
    for (int64_t i = 0; i < 10; ++i)
        EXPECT_EQ(all[static_cast<size_t>(i)], i + 1);
    EXPECT_EQ(all[10], 500);
    EXPECT_EQ(all[11], 11);
    EXPECT_EQ(all.back(), 30);
}

// A row sought past the first rows is placed with its neighbours without reading the rest; a
// second one elsewhere, or a position outside both, reads the whole list once, the rows seen in
// the first rows and around the row keeping their places.
TEST(RowIdsTest, ARowSoughtPastTheFirstRowsIsPlacedWithItsNeighboursAlone) {
    Source s(100);
    s.locating = true;
    RowIds ids;
    s.open(ids, 10);
    EXPECT_EQ(ids.count(), 100);
    EXPECT_EQ(ids.find(1000), -1);
    EXPECT_EQ(ids.find(50), 49);
    EXPECT_EQ(ids.find(49), 48);
    EXPECT_TRUE(ids.known(47));
    EXPECT_FALSE(ids.known(46));
    EXPECT_EQ(ids.at(47), 48);
    EXPECT_EQ(ids.at(51), 52);
    EXPECT_FALSE(ids.beyond(51));
    EXPECT_EQ(ids.count(), 100);
    EXPECT_EQ(s.counts, 1);  // the count stands
    EXPECT_EQ(s.fullReads, 0);
    EXPECT_EQ(s.locates, 2);  // the missing row asked, the neighbour found in the window
    // Another computer adds a row sorting first and deletes one before the window.
    s.rows.insert(s.rows.begin(), 500);
    s.rows.erase(std::find(s.rows.begin(), s.rows.end(), 30));
    EXPECT_EQ(ids.find(80), 79);
    EXPECT_EQ(s.fullReads, 1);
    const std::vector<int64_t>& all = ids.all();
    ASSERT_EQ(all.size(), 100u);
    for (int64_t i = 0; i < 10; ++i)
        EXPECT_EQ(all[static_cast<size_t>(i)], i + 1);
    EXPECT_EQ(all[10], 500);
    for (int64_t i = 47; i < 52; ++i)
        EXPECT_EQ(all[static_cast<size_t>(i)], i + 1) << i;
    EXPECT_EQ(all[46], 47);  // 30 gone, 500 ahead: the others close up to the window
    EXPECT_EQ(all[52], 53);
    // Fewer rows left than the window's place: it follows the others.
    Source few(100);
    few.locating = true;
    RowIds small;
    few.open(small, 10);
    EXPECT_EQ(small.find(90), 89);
    few.rows.resize(20);
    const std::vector<int64_t>& rest = small.all();
    ASSERT_EQ(rest.size(), 25u);
    EXPECT_EQ(rest[19], 20);
    EXPECT_EQ(rest[20], 88);
    EXPECT_EQ(rest[24], 92);
}

}  // namespace
