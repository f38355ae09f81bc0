// Processes killed at random points of a database repair or of a password change never leave a
// damaged database, a lost row or a partial password behind.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include "DatabaseFileUtil.h"
#include "startup/PasswordFile.h"
#include "startup/RepairDatabase.h"
#include "startup/ScrambleString.h"
#include "support/OperationKiller.h"
#include "support/SlowCount.h"
#include "support/TestEnvironment.h"

namespace {

// The journal beside `file` as it stands (its size and last write), empty when there is none: a
// killed repair may leave one that no reader rolls back, and the next repair writes it anew.
QString Journal(const QString& file) {
    struct stat s {};
    if (stat(QFile::encodeName(file + "-journal").constData(), &s) != 0) return {};
    return QStringLiteral("%1 %2.%3").arg(s.st_size).arg(s.st_mtim.tv_sec).arg(s.st_mtim.tv_nsec);
}

class StartupCrashTest : public TempFolderTest {};

TEST_F(StartupCrashTest, AKilledRepairLeavesEveryRowAndASoundFile) {
    ASSERT_TRUE(QDir().mkpath(workFolder()));
    const QString file = QDir(workFolder()).filePath("ZeltoLavrix.mdb");
    FillDatabase(file, 1500);
    const QString before = Snapshot(file);
    // One whole repair of a copy, unkilled, spreads the kills.
    const QString copy = path("copia");
    ASSERT_TRUE(QDir().mkpath(copy) && QFile::copy(file, QDir(copy).filePath("ZeltoLavrix.mdb")));
    RepairResult measured;
    OperationKiller killer(TimeOf([&] { measured = RepairDatabaseFile(copy, nullptr); }), 1104);
    ASSERT_EQ(measured.outcome, RepairResult::Done);
    const int kills = SlowCount(60, 15);
    int repaired = 0, journals = 0, completed = 0;
    const auto repair = [&] { RepairDatabaseFile(workFolder(), nullptr); };
    for (int round = 0; round < kills; ++round) {
        const QString left = Journal(file);
        const auto compacting = [&] {
            const QString now = Journal(file);
            return !now.isEmpty() && now != left;
        };
        // Every fourth repair runs to its end, and the kill falls in the next. Every fourth kill
        // comes once the compaction writes its journal: on a fast disk that lasts a moment only.
        const KilledChild child = round % 4 == 3   ? killer.run({}, repair, 1)
                                  : round % 4 == 1 ? killer.run({}, repair, 0, compacting)
                                                   : killer.run({}, repair);
        ASSERT_TRUE(child.killed) << "the repair stopped by itself, round " << round;
        completed += child.operations;
        if (compacting()) ++journals;
        // The first reader rolls back what the killed repair left in its journal.
        ASSERT_EQ(Query(file, "PRAGMA integrity_check"), "ok") << "round " << round;
        ASSERT_EQ(Snapshot(file), before) << "round " << round;
        if (Query(file, "PRAGMA freelist_count") == "0") ++repaired;
    }
    std::printf("[ counts   ] %d kills, %d repairs completed, %d journals left, %d files repaired\n", kills,
                completed, journals, repaired);
    // Some kills fell inside a compaction (its journal was left), some repairs completed.
    EXPECT_GT(journals, 0);
    EXPECT_GT(repaired, 0);
}

TEST_F(StartupCrashTest, AKilledPasswordChangeLeavesTheOldPasswordOrTheNew) {
    const QString first = ScrambleString("Primo1", false), second = ScrambleString("secondo22", false);
    WritePasswordFile(first);
    OperationKiller killer(TimeOf([&] { WritePasswordFile(first); }), 1102);
    // A change makes the file writable first and read-only last: a writable one was left half way.
    QFile password(PasswordFilePath());
    const auto halfWay = [&] { return password.permissions().testFlag(QFileDevice::WriteOwner); };
    int changed = 0, inside = 0;
    const int changes = SlowCount(200, 40);
    for (int round = 0; round < changes; ++round) {
        // As the start-up leaves it: read-only, whatever the last kill left.
        ASSERT_TRUE(password.setPermissions(password.permissions() & ~QFileDevice::WriteOwner));
        const QString from = ReadPasswordFile();
        const QString to = from == first ? second : first;
        // Every fourth change runs to its end, and the kill falls in the next.
        const auto change = [&] { WritePasswordFile(to); };
        ASSERT_TRUE(killer.run({}, change, round % 4 == 3 ? 1 : 0).killed) << round;
        const QString now = ReadPasswordFile();
        ASSERT_TRUE(now == first || now == second)
            << "round " << round << ": " << now.size() << " characters";
        if (now != from) ++changed;
        inside += halfWay();
    }
    std::printf("[ counts   ] %d kills (%d inside a write), %d changes made\n", changes, inside, changed);
    // Some kills fell inside the writing of the replacement, some changes were made.
    EXPECT_GT(inside, 0);
    EXPECT_GT(changed, 0);
}

}  // namespace
