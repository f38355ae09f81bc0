// The kill helper spreads its kills over the time an operation takes now, not the time it was told.
#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "support/OperationKiller.h"
#include "support/TestEnvironment.h"

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// An operation as a slow disk makes it: far longer than a span measured on a fast one.
void SlowOperation() {
    std::this_thread::sleep_for(milliseconds(20));
}

class OperationKillerTest : public TempFolderTest {};

TEST_F(OperationKillerTest, KillsFollowTheTimeTheOperationTakesNow) {
    OperationKiller killer(microseconds(100), 7);
    // The kill does not wait for the operation under way to end.
    KilledChild child = killer.run({}, [] {
        for (;;)
            std::this_thread::sleep_for(milliseconds(100));
    });
    EXPECT_TRUE(child.killed);
    EXPECT_EQ(child.operations, 0);
    // A round let run to the end of one operation measures it whole.
    child = killer.run({}, SlowOperation, 1);
    EXPECT_TRUE(child.killed);
    EXPECT_GE(child.operations, 1);
    EXPECT_GE(killer.span(), milliseconds(20));
    // From then on the kills fall inside the first operation and after it (each about half the time).
    int inside = 0, after = 0;
    for (int round = 0; round < 16; ++round) {
        child = killer.run({}, SlowOperation);
        ASSERT_TRUE(child.killed) << round;
        ++(child.operations == 0 ? inside : after);
    }
    EXPECT_GT(inside, 0);
    EXPECT_GT(after, 0);
    // Told what to look for, it kills while that is there: a mark the operation leaves in its
    // middle, and keeps until it is killed, however long the parent takes to see it.
    const QString mark = path("mark");
    const auto marking = [&] {
        SlowOperation();
        QFile(mark).open(QIODevice::WriteOnly);
        for (;;)
            std::this_thread::sleep_for(milliseconds(100));
    };
    for (int round = 0; round < 4; ++round) {
        child = killer.run({}, marking, 0, [&] { return QFile::exists(mark); });
        EXPECT_TRUE(child.killed);
        EXPECT_EQ(child.operations, 0);
        EXPECT_TRUE(QFile::remove(mark)) << round;
    }
    // What never shows lets the operation end first: the kill comes right after it.
    child = killer.run({}, SlowOperation, 0, [] { return false; });
    EXPECT_TRUE(child.killed);
    EXPECT_GE(child.operations, 1);
    // A child whose operation or start fails is told apart from one killed.
    EXPECT_FALSE(killer
                     .run(
                         {}, [] { throw std::runtime_error("rifiutato"); }, 1)
                     .killed);
    EXPECT_FALSE(killer.run([] { throw std::runtime_error("rifiutato"); }, SlowOperation, 1).killed);
}

}  // namespace
