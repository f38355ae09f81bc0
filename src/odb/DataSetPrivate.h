// DataSetPrivate: what the sources of DataSet share and the program never sees: the data set's own
// state, helpers of the row chains, the owners and the statements, and the event raising of the rules.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <array>
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
#include "odb/Engine.h"
#include "odb/EventSource.h"
#include "odb/LibraryError.h"
#include "odb/ProgressScope.h"
#include "odb/RowBuffer.h"
#include "odb/RowIds.h"
#include "odb/RowStore.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/StorageSchema.h"
#include "odb/Table.h"
#include "odb/WhereLiteral.h"
#include "odb/condition/ConditionSql.h"

namespace odb {

// Which rows the data set may hold besides its where-text.
struct DataSetScope {
    enum Kind { All, Owned, Linked, Lookup, Rows, Empty };
    Kind kind = All;
    const ReferenceDef* reference = nullptr;  // the collection or lookup
    const Table* ownerTable = nullptr;        // the table that declares it
    RowChain ownerRow;                        // the row that holds it
    std::vector<int64_t> rows;                // Lookup / Rows: the rows allowed
};

struct DataSet::Located {
    RowBuffer* buffer = nullptr;
    int column = -1;
};

struct DataSet::OwnerLink {
    const Table* ownerTable = nullptr;
    const ReferenceDef* reference = nullptr;
    int64_t oid = 0;
};

struct DataSet::Computed {
    QString name;
    QString sql;
    std::vector<SqlValue> values;
    int32_t type = -1;
};

struct DataSetPrivate {
    DataSetPrivate(Engine& engine, Table& table)
        : engine_(engine), table_(table), database_(engine.database().weak_from_this().lock()) {}

    Engine& engine_;
    Table& table_;
    // A data set kept after its database was let go keeps the database's objects alive: its calls
    // then fail with the library's "not open" error instead of reading freed memory.
    std::shared_ptr<const Database> database_;
    DataSetScope scope_;
    std::vector<DataSet::Computed> computed_;
    std::vector<const FieldDef*> shownFields_;
    QString where_, order_, filter_, fields_, focus_;
    RowIds ids_;
    int64_t pos_ = -1;  // index into ids_: -1 before the first row, the row count past the last
    // The current row (stored or new). A cache as well: a stored row is read when first asked for,
    // by const readers too (row()).
    RowChain row_;
    bool isNew_ = false;
    bool editEnabled_ = true;
    bool closed_ = false;
    bool rowWasAdded_ = false;
    bool detached_ = false;  // a copy of stored values, read only
    int opening_ = 0;        // inside OnSelect: view settings are read by the opening itself
    // Made when someone asks for it: the many data sets the library makes for a moment (a rule's
    // view of a referenced row) have no listeners, and a signal without an object reaches no one.
    mutable std::unique_ptr<odb::EventSource> eventSource_;
    QString savedWhere_;
    // The row OpenRelated started from, for SyncRows.
    const Table* relatedFromTable_ = nullptr;
    int64_t relatedFromOid_ = 0;
    QHash<QString, QString> options_;
    int selectionHeld_ = 0;
    bool positionLost_ = false;
    // The view's columns (FieldCount), built for the field list `viewFor_`; own definitions of the
    // lookups and computed columns in `viewDefs_`.
    bool viewBuilt_ = false;
    QString viewFor_;
    std::vector<std::shared_ptr<const FieldDef>> view_;
    // The statement ReadRows last built, for its column list.
    QStringList pageColumns_;
    QString pageSql_;
    std::vector<SqlValue> pageValues_;
    std::vector<int32_t> pageTypes_;
};

inline Engine& DataSet::engine() const {
    return d_->engine_;
}

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

// The identity named by a where-text of the form "OID=n", if it is one. Every data set opened on
// one row asks it: a text all ASCII is read by hand, any other by the expression.
inline std::optional<int64_t> identityWhere(const QString& where) {
    const QChar* c = where.constData();
    const qsizetype n = where.size();
    bool ascii = true;
    for (qsizetype k = 0; k < n && ascii; ++k)
        ascii = c[k].unicode() < 0x80;
    if (!ascii) {
        static const QRegularExpression re(QStringLiteral("^\\s*OID\\s*=\\s*(\\d{1,18})\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
        const auto m = re.match(where);
        if (!m.hasMatch()) return std::nullopt;
        return m.captured(1).toLongLong();
    }
    qsizetype i = 0;
    auto spaces = [&] {
        while (i < n && (c[i] == QLatin1Char(' ') || (c[i].unicode() >= 9 && c[i].unicode() <= 13)))
            ++i;
    };
    spaces();
    for (const char letter : {'o', 'i', 'd'}) {
        if (i >= n || (c[i].unicode() | 0x20) != letter) return std::nullopt;
        ++i;
    }
    spaces();
    if (i >= n || c[i] != QLatin1Char('=')) return std::nullopt;
    ++i;
    spaces();
    int64_t value = 0;
    const qsizetype digits = i;
    for (; i < n && c[i].unicode() >= '0' && c[i].unicode() <= '9'; ++i)
        value = value * 10 + (c[i].unicode() - '0');
    if (i == digits || i - digits > 18) return std::nullopt;
    spaces();
    if (i != n) return std::nullopt;
    return value;
}

// Keeps a count raised for the life of a scope.
struct CountUp {
    explicit CountUp(int& c) : count(c) { ++count; }
    ~CountUp() { --count; }
    int& count;
};

template <class F>
void DataSet::raise(F&& f) {
    // The row may change under the events (a rule choosing another base row): the listeners are
    // those of the row as it was, listed first (a row has a few tables, listed without allocating).
    const RowChain& chain = row();
    if (chain.empty()) {
        for (const Table* t : d_->table_.chain())
            if (itfSetData* ev = t->events()) f(*ev);
        return;
    }
    std::array<itfSetData*, 8> few{};
    std::vector<itfSetData*> many;
    size_t count = 0;
    for (const auto& b : chain)
        if (itfSetData* ev = b->table->events()) {
            if (count < few.size())
                few[count] = ev;
            else
                many.push_back(ev);
            ++count;
        }
    for (size_t i = 0; i < count; ++i)
        f(i < few.size() ? *few[i] : *many[i - few.size()]);
}

}  // namespace odb
