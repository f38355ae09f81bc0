// The identities of a view read a part at a time: the first rows, the count and the rest each
// read only when needed, and rows seen keeping their places when others changed on the way.
#include <gtest/gtest.h>

#include <numeric>

#include "odb/RowIds.h"

namespace {

using odb::RowIds;

// A view of `rows` identities 1..n, counting what was asked of it.
struct Source {
    std::vector<int64_t> rows;
    int reads = 0, fullReads = 0, counts = 0;
    explicit Source(int n) : rows(static_cast<size_t>(n)) { std::iota(rows.begin(), rows.end(), 1); }
    void open(RowIds& ids, int64_t first) {
        ids.read(
            first,
            [this](int64_t limit) {
                ++reads;
                if (limit < 0) ++fullReads;
                const size_t n = limit < 0 ? rows.size() : std::min(rows.size(), static_cast<size_t>(limit));
                return std::vector<int64_t>(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(n));
            },
            [this] {
                ++counts;
                return static_cast<int64_t>(rows.size());
            });
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

}  // namespace
