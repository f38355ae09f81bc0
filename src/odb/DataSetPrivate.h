// DataSetPrivate: what the sources of DataSet share and the program never sees: helpers of the
// row chains, the owners and the statements, and the event raising of the rules.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "base/Format.h"
#include "base/VariantOps.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/DataSetObject.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/LibraryError.h"
#include "odb/ProgressScope.h"
#include "odb/RowBuffer.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/StorageSchema.h"
#include "odb/Table.h"
#include "odb/WhereLiteral.h"
#include "odb/condition/ConditionSql.h"

namespace odb {

// Marks every row of a chain as being saved or deleted for as long as it lives, so that a nested
// save or deletion of the same row is recognised (and the mark goes also when a rule fails).
class ChainMark {
  public:
    ChainMark(RowChain chain, int RowBuffer::*counter) : chain_(std::move(chain)), counter_(counter) {
        for (const auto& b : chain_)
            ++((*b).*counter_);
    }
    ~ChainMark() {
        for (const auto& b : chain_)
            --((*b).*counter_);
    }
    ChainMark(const ChainMark&) = delete;
    ChainMark& operator=(const ChainMark&) = delete;

  private:
    RowChain chain_;
    int RowBuffer::*counter_;
};

inline const QString kAlias = QStringLiteral("r");

inline void bindValues(SqlStatement& st, const std::vector<SqlValue>& values, int first = 1) {
    int i = first;
    for (const auto& v : values) {
        if (std::holds_alternative<std::monostate>(v))
            st.bindNull(i);
        else if (const auto* n = std::get_if<int64_t>(&v))
            st.bind(i, *n);
        else if (const auto* d = std::get_if<double>(&v))
            st.bind(i, *d);
        else
            st.bind(i, std::get<QString>(v));
        ++i;
    }
}

// Marks an owner whose bulk change raises its events once itself, for the life of a scope.
struct QuietOwner {
    QuietOwner(Engine& e, const ReferenceDef* reference, int64_t oid) : engine(e), on(reference != nullptr) {
        if (on) engine.operation().pushQuietOwner(reference, oid);
    }
    ~QuietOwner() {
        if (on) engine.operation().popQuietOwner();
    }
    Engine& engine;
    bool on;
};

// The library fills the rows itself, numbers included, for the life of a scope (an import).
struct LibraryFills {
    explicit LibraryFills(Operation& o) : operation(o) {
        operation.setSilent(true);
        operation.setSkipNumbering(true);
    }
    ~LibraryFills() {
        operation.setSkipNumbering(false);
        operation.setSilent(false);
    }
    Operation& operation;
};

inline int64_t ownerOidOf(const DataSetScope& scope) {
    for (const auto& b : scope.ownerRow)
        if (b->table == scope.ownerTable) return b->oid;
    return 0;
}

// The identity named by a where-text of the form "OID=n", if it is one.
inline std::optional<int64_t> identityWhere(const QString& where) {
    static const QRegularExpression re(QStringLiteral("^\\s*OID\\s*=\\s*(\\d{1,18})\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(where);
    if (!m.hasMatch()) return std::nullopt;
    return m.captured(1).toLongLong();
}

// Keeps a count raised for the life of a scope.
struct CountUp {
    explicit CountUp(int& c) : count(c) { ++count; }
    ~CountUp() { --count; }
    int& count;
};

template <class F>
void DataSet::raise(F&& f) {
    // The row may change under the events (a rule choosing another base row): walk a copy.
    const RowChain chain = row();
    if (chain.empty()) {
        for (const Table* t : table_.chain())
            if (itfSetData* ev = t->events()) f(*ev);
        return;
    }
    for (const auto& b : chain)
        if (itfSetData* ev = b->table->events()) f(*ev);
}

}  // namespace odb
