// Processes killed at random points of a database repair or of a password change never leave a
// damaged database, a lost row or a partial password behind.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "DatabaseFileUtil.h"
#include "startup/PasswordFile.h"
#include "startup/RepairDatabase.h"
#include "startup/ScrambleString.h"
#include "support/SlowCount.h"
#include "support/TestEnvironment.h"

namespace {

// Runs `work` in a child process until it is killed after a random pause; false when the child
// ended by itself.
bool KillDuring(const std::function<void()>& work, std::mt19937& random, int maxMicroseconds) {
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        try {
            for (;;)
                work();
        } catch (...) {
        }
        _exit(1);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % maxMicroseconds));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status);
}

class StartupCrashTest : public TempFolderTest {};

TEST_F(StartupCrashTest, AKilledRepairLeavesEveryRowAndASoundFile) {
    ASSERT_TRUE(QDir().mkpath(workFolder()));
    const QString file = QDir(workFolder()).filePath("ZeltoLavrix.mdb");
    FillDatabase(file, 1500);
    const QString before = Snapshot(file);
    std::mt19937 random(1104);
    const int kills = SlowCount(60, 15);
    int repaired = 0, journals = 0;
    for (int round = 0; round < kills; ++round) {
        ASSERT_TRUE(KillDuring([&] { RepairDatabaseFile(workFolder(), nullptr); }, random, 60000))
            << "the repair stopped by itself, round " << round;
        if (QFile::exists(file + "-journal")) ++journals;
        // The first reader rolls back what the killed repair left in its journal.
        ASSERT_EQ(Query(file, "PRAGMA integrity_check"), "ok") << "round " << round;
        ASSERT_EQ(Snapshot(file), before) << "round " << round;
        if (Query(file, "PRAGMA freelist_count") == "0") ++repaired;
    }
    // Some kills fell inside a compaction (its journal was left hot), some repairs completed.
    EXPECT_GT(journals, 0);
    EXPECT_GT(repaired, 0);
}

TEST_F(StartupCrashTest, AKilledPasswordChangeLeavesTheOldPasswordOrTheNew) {
    const QString first = ScrambleString("Primo1", false), second = ScrambleString("secondo22", false);
    WritePasswordFile(first);
    std::mt19937 random(1102);
    int changed = 0;
    const int changes = SlowCount(200, 40);
    for (int round = 0; round < changes; ++round) {
        const QString from = ReadPasswordFile();
        const QString to = from == first ? second : first;
        ASSERT_TRUE(KillDuring([&] { WritePasswordFile(to); }, random, 3000)) << round;
        const QString now = ReadPasswordFile();
        ASSERT_TRUE(now == first || now == second)
            << "round " << round << ": " << now.size() << " characters";
        if (now != from) ++changed;
    }
    EXPECT_GT(changed, 0);
}

}  // namespace
