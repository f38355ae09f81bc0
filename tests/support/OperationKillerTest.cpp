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
    KilledChild child = killer.run({}, SlowOperation);
    EXPECT_TRUE(child.killed);
    EXPECT_EQ(child.operations, 0);
    // A round let run to the end of one operation measures it whole.
    child = killer.run({}, SlowOperation, 1);
    EXPECT_TRUE(child.killed);
    EXPECT_GE(child.operations, 1);
    EXPECT_GE(killer.span(), milliseconds(20));
    // From then on the kills fall inside the first operation and after it.
    int inside = 0, after = 0;
    for (int round = 0; round < 12; ++round) {
        child = killer.run({}, SlowOperation);
        ASSERT_TRUE(child.killed) << round;
        ++(child.operations == 0 ? inside : after);
    }
    EXPECT_GT(inside, 0);
    EXPECT_GT(after, 0);
    // Told what to look for, it kills while that is there: a mark the operation leaves for a
    // moment in its middle.
    const QString mark = path("mark");
    const auto marking = [&] {
        SlowOperation();
        QFile(mark).open(QIODevice::WriteOnly);
        std::this_thread::sleep_for(milliseconds(5));
        QFile::remove(mark);
    };
    for (int round = 0; round < 4; ++round) {
        EXPECT_TRUE(killer.run({}, marking, 0, [&] { return QFile::exists(mark); }).killed);
        EXPECT_TRUE(QFile::remove(mark)) << round;
    }
    // A child whose operation or start fails is told apart from one killed.
    EXPECT_FALSE(killer.run({}, [] { throw std::runtime_error("rifiutato"); }).killed);
    EXPECT_FALSE(killer.run([] { throw std::runtime_error("rifiutato"); }, SlowOperation, 1).killed);
}

}  // namespace
