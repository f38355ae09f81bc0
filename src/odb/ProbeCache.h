// ProbeCache: the statements of the existence probes (does a reference hold a row meeting these
// conditions?), each shape built once: its text and the values it always binds. The owner's binds
// change from probe to probe and are bound anew.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

#include <memory>
#include <vector>

#include "odb/condition/ConditionSchema.h"

namespace odb {

class Table;
struct ReferenceDef;

struct ProbeShape {
    // What makes the shape: the rows' table and scope, the view's texts, the conditions asked
    // together and whether a row is left out.
    const Table* table = nullptr;
    int scopeKind = 0;
    const ReferenceDef* reference = nullptr;
    QString where, filter;
    QStringList conditions;
    bool except = false;
    // The statement: one part per condition (one without conditions), each binding the owner's
    // identity (and, for owned rows, `ownerLink`), then its `partValues`, then the row left out.
    QString sql;
    QString ownerLink;
    std::vector<std::vector<SqlValue>> partValues;
    // Each part reads only the probed rows themselves (no other table, no other row): a write to
    // the row left out cannot change its answer.
    bool rowLocal = false;
};

// The last row written by an UPDATE, with the connection's count of changed rows around it.
struct RowWrite {
    const Table* table = nullptr;
    int64_t oid = 0;
    int64_t changesBefore = -1, changesAfter = -1;
};

// Where the file stands for the answers of one operation: while it holds the write lock only its
// own statements change the file, each counted.
struct ProbeMoment {
    int64_t operation = 0;
    int64_t localVersion = 0;
    int64_t changes = 0;
};

class ProbeCache {
  public:
    const ProbeShape* find(const Table* table, int scopeKind, const ReferenceDef* reference,
                           const QString& where, const QString& filter, const QStringList& conditions,
                           bool except) const;
    const ProbeShape& add(ProbeShape shape);
    void clear() {
        answers_.clear();
        shapes_.clear();
    }

    // The answer found earlier in the same operation to the same probe (shape, owner, row left
    // out), if the file has not changed since but for an update of the row left out. The owner
    // asks the same question before and after one of its rows is stored.
    const std::vector<bool>* answer(const ProbeShape& shape, int64_t owner, int64_t except,
                                    const ProbeMoment& now, const RowWrite& last);
    void keep(const ProbeShape& shape, int64_t owner, int64_t except, const ProbeMoment& now,
              std::vector<bool> found);

  private:
    struct Answer {
        const ProbeShape* shape;
        int64_t owner, except;
        ProbeMoment at;
        std::vector<bool> found;
    };
    std::vector<std::unique_ptr<const ProbeShape>> shapes_;
    std::vector<Answer> answers_;
};

}  // namespace odb
