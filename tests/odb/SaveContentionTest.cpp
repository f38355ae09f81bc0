// Several processes saving children of the same header at once lose no contribution.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "OdbTestUtil.h"
#include "odb/DataSet.h"
#include "support/TestEnvironment.h"

using namespace odbtest;

namespace {

class SaveContentionTest : public TempFolderTest {};

TEST_F(SaveContentionTest, ConcurrentChildSavesAllCount) {
    const QString file = path("ZeltoLavrix.mdb");
    {
        TestNotify notify;
        auto def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        auto o = OpenDefinition(file, def, &notify);
        auto header = o.table("Commesse").OpenData();
        ASSERT_TRUE(header->AddRow({"Cliente", ""}));
        ASSERT_TRUE(header->GetReference("Dettagli")->AddRow({"NumeroCommessa", "A1"}));
    }
    const int processes = 4, saves = 25;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(gate[1]);
            char c;
            if (read(gate[0], &c, 1) < 0) _exit(3);
            int retries = 0;
            try {
                TestNotify notify;
                auto def = std::make_shared<TestDefinition>();
                BuildShopSchema(*def);
                auto o = OpenDefinition(file, def, &notify, nullptr, 100);
                auto details = o.table("DettagliSpeciali").OpenData();
                auto steps = details->GetReference("Passaggi");
                for (int i = 0; i < saves; ++i) {
                    for (;;) {
                        try {
                            if (steps->AddRow({"Minuti", p + 1})) break;
                            _exit(4);
                        } catch (const AppError& e) {
                            // Busy: another computer holds the file; try again.
                            if (!odb::DbmsGlobal::IsLibraryError(e, odb::odbErrBusy) || ++retries > 10000)
                                _exit(5);
                        }
                    }
                }
            } catch (...) {
                _exit(1);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    const int64_t expected = saves * (1 + 2 + 3 + 4);
    EXPECT_EQ(RawCount(file, "SELECT count(*) FROM Passaggi"), processes * saves);
    EXPECT_EQ(RawCount(file, "SELECT sum(Minuti) FROM Passaggi"), expected);
    EXPECT_EQ(RawCount(file, "SELECT TempoImpiegato FROM Dettagli"), expected);
    EXPECT_EQ(RawCount(file, "SELECT TempoTotale FROM Commesse"), expected);
    EXPECT_EQ(RawText(file, "PRAGMA integrity_check"), "ok");
}

}  // namespace
