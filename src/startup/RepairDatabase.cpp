// The database repair.
#include "startup/RepairDatabase.h"

#include <QFile>

#include "base/TextUtil.h"
#include "model/DB.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/SqlStatement.h"
#include "platform/modOSWinUtil.h"
#include "startup/SharedState.h"

namespace {

constexpr int kFindingsShown = 5;

int& busyTimeout() {
    static int ms = odb::Connection::kDefaultBusyTimeoutMs;
    return ms;
}

bool Is(const AppError& e, odb::OdbError code) {
    return e.number() == vbObjectError + code;
}

}  // namespace

void SetRepairBusyTimeout(int milliseconds) {
    busyTimeout() = milliseconds;
}

RepairResult RepairDatabaseFile(const QString& folder, odb::itfNotifyEvent* sink,
                                const std::function<void()>& compacting) {
    const int busyTimeoutMs = busyTimeout();
    const QString path = BuildPath(folder, kDatabaseFileName, QString());
    if (!FileExists(path)) return {RepairResult::NoFile, {}};
    // What an earlier compaction into a copy may have left beside the file.
    const QString copy = BuildPath(folder, kDatabaseFileName + QStringLiteral(".NEW"), QString());
    QFile::remove(copy);
    QFile::remove(copy + QStringLiteral("._"));

    {
        odb::Connection connection;
        QStringList findings;
        try {
            connection.OpenDatabaseFile(path, busyTimeoutMs);
            // The write lock first: a computer in the middle of a change holds the file.
            connection.BeginTrans();
            auto check = connection.statement(QStringLiteral("PRAGMA integrity_check"));
            while (check.step())
                findings << check.text(0);
            check.reset();
            connection.RollbackTrans();
            if (findings != QStringList{QStringLiteral("ok")})
                return {RepairResult::Damaged, findings.mid(0, kFindingsShown).join(QStringLiteral("\r"))};
            if (compacting) compacting();
            connection.Execute(QStringLiteral("VACUUM"));
        } catch (const AppError& e) {
            if (Is(e, odb::odbErrBusy)) return {RepairResult::InUse, {}};
            // Damage that stops the check itself.
            if (Is(e, odb::odbErrNotDatabase)) return {RepairResult::Damaged, e.description()};
            throw;
        }
    }

    // Opened once with a definition of its own, so that every table matches it again.
    auto connection = std::make_shared<odb::Connection>();
    connection->OpenDatabaseFile(path, busyTimeoutMs);
    try {
        auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, sink);
        database->Open(connection, -1, -1, -1, 0, nullptr);
    } catch (...) {
        connection->CloseConnection();
        throw;
    }
    connection->CloseConnection();
    return {RepairResult::Done, {}};
}
