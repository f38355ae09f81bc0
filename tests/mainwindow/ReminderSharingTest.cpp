// Two computers scanning the reminder rules at once, over the same due rows: each row gets one
// reminder, whichever computer makes it, and a third one looking meanwhile sees none of them or all.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QSet>
#include <cstdio>

#include <map>
#include <set>
#include <string>

#include "MainWindowFixture.h"
#include "base/AppError.h"
#include "base/DateUtil.h"
#include "mainwindow/ReminderScan.h"
#include "model/DB.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/SqlStatement.h"
#include "odb/Table.h"
#include "startup/SharedState.h"

namespace {

// What a computer with nobody at it would be told: written to the child's error output.
class ChildNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString& detail) override {
        std::fprintf(stderr, "message: %s\n", detail.toUtf8().constData());
    }
    // Each question once: a template's message comes for every row.
    void OnQueryMessage(void*, int32_t, const QString& text, bool&) override {
        if (!asked.contains(text)) std::fprintf(stderr, "question: %s\n", text.toUtf8().constData());
        asked.insert(text);
    }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
    QSet<QString> asked;
};

class ReminderSharingTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        createDatabase();
        file = QDir(workFolder()).filePath(kDatabaseFileName);
        openHere();
    }
    void openHere() {
        g_objConnection = std::make_shared<odb::Connection>();
        g_objConnection->OpenDatabaseFile(file);
        g_objDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, &notify);
        g_objDatabase->Open(g_objConnection);
    }
    void closeHere() {
        g_objConnection->CloseConnection();
        g_objConnection.reset();
        g_objDatabase.reset();
    }
    // Counts the reminders until `stop` is closed, then once more; tells `ready` once it has counted;
    // writes the counts seen to `out`.
    [[noreturn]] void watch(int stop, int ready, int out) {
        std::set<int64_t> seen;
        try {
            odb::Connection connection;
            connection.OpenDatabaseFile(file);
            for (bool last = false; !last;) {
                pollfd end{stop, POLLIN, 0};
                last = poll(&end, 1, 0) > 0;
                odb::SqlStatement count = connection.statement("SELECT COUNT(*) FROM Promemoria");
                if (count.step()) seen.insert(count.int64(0));
                count.reset();
                if (ready >= 0 && !seen.empty()) {
                    if (write(ready, "r", 1) != 1) _exit(4);
                    close(ready);
                    ready = -1;
                }
                // Paced, so that the scans' commits are not kept waiting behind its reads.
                usleep(500);
            }
        } catch (...) {
            _exit(1);
        }
        std::string text;
        for (int64_t n : seen)
            text += std::to_string(n) + ' ';
        _exit(write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 2);
    }
    // `computers` processes, each with its own connection, scan at `now` once the gate opens, while
    // one more counts the reminders; the counts it saw go to `seen`.
    void scanAtOnce(int computers, double now, std::string& seen) {
        closeHere();
        int stop[2], ready[2], counts[2];
        ASSERT_EQ(pipe(stop) | pipe(ready) | pipe(counts), 0);
        const pid_t watcher = fork();
        ASSERT_GE(watcher, 0);
        if (watcher == 0) {
            close(stop[1]);
            close(ready[0]);
            close(counts[0]);
            watch(stop[0], ready[1], counts[1]);
        }
        close(stop[0]);
        close(ready[1]);
        close(counts[1]);
        // The scans start once the counting has seen the file as it was before them.
        char counted = 0;
        ASSERT_EQ(read(ready[0], &counted, 1), 1) << "the counting process ended before counting";
        close(ready[0]);
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < computers; ++i) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                close(gate[1]);
                char c;
                if (read(gate[0], &c, 1) < 0) _exit(3);
                int code = 0;
                try {
                    openHere();
                    ReminderScan::ScanRules(now);
                    closeHere();
                } catch (const AppError& e) {
                    std::fprintf(stderr, "scan: %s\n", e.description().toUtf8().constData());
                    code = 1;
                } catch (...) {
                    code = 2;
                }
                _exit(code);
            }
            children.push_back(pid);
        }
        close(gate[0]);
        close(gate[1]);
        for (pid_t pid : children) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        }
        close(stop[1]);
        char buffer[256];
        for (ssize_t n; (n = read(counts[0], buffer, sizeof buffer)) > 0;)
            seen.append(buffer, static_cast<size_t>(n));
        close(counts[0]);
        int status = 0;
        ASSERT_EQ(waitpid(watcher, &status, 0), watcher);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "watcher status " << status;
        openHere();
    }

    ChildNotify notify;
    QString file;
};

TEST_F(ReminderSharingTest, TwoComputersScanningAtOnceMakeOneReminderPerDueRowAllAtOnce) {
    const double now = OleDateFromQDateTime(QDateTime(QDate(2026, 3, 10), QTime(10, 0)));
    // Measured before the check and the add shared one transaction: most rounds made duplicates.
    const int due = 60, rounds = 10;
    ASSERT_TRUE(GetDBTable("ImpostazioniPromemoria")
                    .OpenData("OID=0")
                    ->AddRow({"NomeTabella", "CommesseCliente", "NomeCampoData", "DataConsegnaConcordata",
                              "GiorniDiPreavviso", 2, "OreDiPreavviso", 0, "MinutiDiPreavviso", 0,
                              "MessaggioDiNotifica", "Consegna <%Progressivo%>"}));
    auto orders = GetDBTable("CommesseCliente").OpenData("OID=0");
    g_objConnection->BeginTrans();
    for (int i = 0; i < due; ++i)
        ASSERT_TRUE(orders->AddRow({"DataConsegnaConcordata", Variant::fromDate(now + 1 + i / 1440.0)}));
    // Past the rule's notice: never reminded.
    ASSERT_TRUE(orders->AddRow({"DataConsegnaConcordata", Variant::fromDate(now + 3)}));
    g_objConnection->CommitTrans();
    orders.reset();

    for (int round = 0; round < rounds; ++round) {
        // Every round the same rows are due again, to a scan that has never run. Every other round
        // the template shows a message, which each scan shows with the file free before its write.
        GetDBTable("Promemoria").OpenData()->DeleteRows();
        g_objConnection->Execute(
            QStringLiteral(
                "UPDATE ImpostazioniPromemoria SET DataUltimoControllo = NULL, MessaggioDiNotifica = '%1'")
                .arg(round % 2 ? "%> <%Progressivo%>" : "Consegna <%Progressivo%>"));
        std::string seen;
        scanAtOnce(2, now, seen);
        // One scan's reminders are made in one write: the other computers find none of them or all.
        EXPECT_EQ(seen, "0 " + std::to_string(due) + ' ') << "round " << round;
        auto reminders = GetDBTable("Promemoria").OpenData();
        std::map<QString, int> perOrigin;
        for (const VariantList& row :
             reminders->ReadRows(0, reminders->RowCount(), {"NomeTabellaOrigine", "IDElementoOrigine"}))
            ++perOrigin[row[0].toText() + "/" + row[1].toText()];
        QStringList twice;
        for (const auto& [origin, count] : perOrigin)
            if (count > 1) twice << origin;
        ASSERT_TRUE(twice.isEmpty()) << "round " << round << ": " << twice.join(' ').toStdString();
        ASSERT_EQ(reminders->RowCount(), due) << "round " << round;
    }
}

}  // namespace
