// Export of a view's rows into an archive file: a database file of this library with the whole
// schema and only the rows the view needs: its rows, their base rows and the rows their lookups
// name. Written under a temporary name and renamed at the end, so that nothing half-written stays.
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <map>
#include <set>

#include "odb/Connection.h"
#include "odb/DataSetPrivate.h"
#include "odb/LibraryError.h"
#include "odb/ProgressScope.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/Table.h"

namespace odb {

namespace {

using RowSets = std::map<const Table*, std::set<int64_t>>;

constexpr size_t kChunk = 500;

// Runs `f` for each chunk of `ids` as the value to bind to SqlStatement::IdListSql().
template <class F>
void ForChunks(const std::set<int64_t>& ids, F&& f) {
    auto it = ids.begin();
    while (it != ids.end()) {
        std::vector<int64_t> chunk;
        for (; chunk.size() < kChunk && it != ids.end(); ++it)
            chunk.push_back(*it);
        f(SqlStatement::IdListValue(chunk), static_cast<int>(chunk.size()));
    }
}

// The rows `ids` of `t` and, up its chain, the base rows they stand on.
void Collect(Connection& c, const Table& t, const std::set<int64_t>& ids, RowSets& sets) {
    if (ids.empty()) return;
    sets[&t].insert(ids.begin(), ids.end());
    const Table* base = t.BaseTable();
    if (!base) return;
    if (t.GetBaseKind() == BaseKind::Exclusive) {
        Collect(c, *base, ids, sets);
        return;
    }
    std::set<int64_t> baseIds;
    ForChunks(ids, [&](const QString& list, int) {
        auto st = c.statement(QStringLiteral("SELECT %1 FROM %2 WHERE \"OID\" IN %3")
                                  .arg(SqlQuote(t.BaseLinkField()), t.sqlName(), SqlStatement::IdListSql()));
        st.bind(1, list);
        while (st.step())
            if (!st.isNull(0)) baseIds.insert(st.int64(0));
        st.reset();
    });
    Collect(c, *base, baseIds, sets);
}

// The rows the lookups of the collected rows name, with their own base rows.
void CollectLookups(Connection& c, RowSets& sets) {
    const RowSets viewRows = sets;
    // Plain pairs, not bindings: the lambdas below use the table (clang 14 cannot capture bindings).
    for (const auto& set : viewRows) {
        const Table* t = set.first;
        const std::set<int64_t>& ids = set.second;
        for (const auto& column : t->columns()) {
            if (column.kind != StoredColumn::Lookup || !column.reference || !column.reference->refTable_)
                continue;
            std::set<int64_t> targets;
            ForChunks(ids, [&](const QString& list, int) {
                auto st =
                    c.statement(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE \"OID\" IN %3")
                                    .arg(SqlQuote(column.name), t->sqlName(), SqlStatement::IdListSql()));
                st.bind(1, list);
                while (st.step())
                    if (!st.isNull(0)) targets.insert(st.int64(0));
                st.reset();
            });
            Collect(c, *column.reference->refTable_, targets, sets);
        }
    }
}

}  // namespace

bool DataSet::ExportArchive(const QString& file, itfProgress* progress) {
    if (file.trimmed().isEmpty()) LibraryError::Raise(odbErrCannotOpen);
    const QString temp = file + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    QFile::remove(temp);
    Connection& main = d_->engine_.conn();
    auto archive = std::make_shared<Connection>();
    bool stopped = false;
    int token = -1;
    try {
        archive->CreateDatabaseFile(temp);
        archive->OpenDatabaseFile(temp);
        token = main.beginWrite(true);  // one state of the file for the whole copy
        // The whole schema, so that the archive opens like any database of the program.
        const int write = archive->beginWrite();
        std::vector<QString> tables;
        {
            auto st = main.statement(QStringLiteral(
                "SELECT name, sql FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%' "
                "ORDER BY rowid"));
            std::vector<std::pair<QString, QString>> schema;
            while (st.step())
                schema.emplace_back(st.text(0), st.text(1));
            st.reset();
            for (const auto& [name, sql] : schema) {
                if (name.startsWith(QStringLiteral("_odb")) && name != kVersionsTable) continue;
                archive->exec(sql);
                tables.push_back(name);
            }
        }
        {
            auto st = main.statement(
                QStringLiteral("SELECT Name, Version, Definition FROM \"%1\"").arg(kVersionsTable));
            while (st.step())
                archive
                    ->statement(
                        QStringLiteral("INSERT INTO \"%1\" (Name, Version, Definition) VALUES (?, ?, ?)")
                            .arg(kVersionsTable))
                    .bindStored(1, st.stored(0))
                    .bindStored(2, st.stored(1))
                    .bindStored(3, st.stored(2))
                    .run();
            st.reset();
        }
        RowSets sets;
        Collect(main, d_->table_, std::set<int64_t>(d_->ids_.begin(), d_->ids_.end()), sets);
        CollectLookups(main, sets);

        const int total = static_cast<int>(d_->ids_.size());
        {
            ProgressScope progressing(progress, odbEvtExportRows, total);
            int done = 0;
            for (const auto& set : sets) {
                const Table* t = set.first;
                const std::set<int64_t>& ids = set.second;
                const bool own = t == &d_->table_;
                const int width = static_cast<int>(t->columns().size()) + 1;
                QStringList marks;
                for (int i = 0; i < width; ++i)
                    marks << QStringLiteral("?");
                const QString insert =
                    QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(t->sqlName(), marks.join(','));
                ForChunks(ids, [&](const QString& list, int count) {
                    if (stopped) return;
                    auto st = main.statement(QStringLiteral("SELECT * FROM %1 WHERE \"OID\" IN %2")
                                                 .arg(t->sqlName(), SqlStatement::IdListSql()));
                    st.bind(1, list);
                    while (st.step()) {
                        auto ins = archive->statement(insert);
                        for (int i = 0; i < st.columnCount() && i < width; ++i)
                            ins.bindStored(i + 1, st.stored(i));
                        ins.run();
                    }
                    st.reset();
                    if (!own) return;
                    done += count;
                    if (progress && !progress->OnProgress(odbEvtExportRows, total, done, this, nullptr))
                        stopped = true;
                });
                if (stopped) break;
            }
        }
        archive->endWrite(write, !stopped);
        main.endWrite(token, true);
        token = -1;
        archive->CloseConnection();
    } catch (...) {
        if (token >= 0) main.endWrite(token, true);
        archive->CloseConnection();
        QFile::remove(temp);
        throw;
    }
    if (stopped) {
        QFile::remove(temp);
        return false;
    }
    // The new file takes the place of the old one only now that it is whole, in one step.
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(temp);
        LibraryError::Raise(odbErrCannotOpen, LibraryError::Text(odbErrCannotOpen) + QStringLiteral(" (") +
                                                  file + QLatin1Char(')'));
    }
    return true;
}

}  // namespace odb
