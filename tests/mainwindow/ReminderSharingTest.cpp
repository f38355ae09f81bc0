// Two computers scanning the reminder rules at once, over the same due rows: each row gets one
// reminder, whichever computer makes it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <cstdio>

#include <map>

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
    void OnQueryMessage(void*, int32_t, const QString& text, bool&) override {
        std::fprintf(stderr, "question: %s\n", text.toUtf8().constData());
    }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
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
    // `computers` processes, each with its own connection, scan at `now` once the gate opens.
    void scanAtOnce(int computers, double now) {
        closeHere();
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
        openHere();
    }

    ChildNotify notify;
    QString file;
};

TEST_F(ReminderSharingTest, TwoComputersScanningAtOnceMakeOneReminderPerDueRow) {
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
        // Every round the same rows are due again, to a scan that has never run.
        GetDBTable("Promemoria").OpenData()->DeleteRows();
        g_objConnection->Execute("UPDATE ImpostazioniPromemoria SET DataUltimoControllo = NULL");
        scanAtOnce(2, now);
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
