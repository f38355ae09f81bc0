// Prepared statements used for one call and reset at once.
#include "odb/SqlStatement.h"

#include <QStringList>

#include <sqlite3.h>

#include "odb/Connection.h"
#include "odb/LibraryError.h"

namespace odb {

void RaiseEngineError(int code, const QString& engineMessage, const QString& what) {
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            LibraryError::Raise(odbErrBusy);
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            LibraryError::Raise(odbErrNotDatabase);
        case SQLITE_READONLY:
        case SQLITE_PERM:
            LibraryError::Raise(odbErrReadOnlyDatabase);
        case SQLITE_FULL:
            LibraryError::Raise(odbErrDiskFull);
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
        case SQLITE_PROTOCOL:
            LibraryError::Raise(odbErrFileAccess);
        default:
            break;
    }
    // Limits of SQLite's own parser that a long selection could still reach.
    bool tooComplex = (code & 0xff) == SQLITE_TOOBIG;
    for (const char* limit : {"parser stack overflow", "Expression tree is too large",
                              "too many SQL variables", "too many terms"})
        tooComplex = tooComplex || engineMessage.contains(QLatin1String(limit));
    if (tooComplex)
        LibraryError::Raise(odbErrBadCondition,
                            LibraryError::Text(odbErrBadCondition) +
                                QStringLiteral(": troppo lunga o troppo annidata, va semplificata"));
    LibraryError::Raise(odbErrSql,
                        LibraryError::Text(odbErrSql) + QStringLiteral(": ") + engineMessage +
                            (what.isEmpty() ? QString() : QStringLiteral(" [") + what + QLatin1Char(']')));
}

SqlStatement::SqlStatement(sqlite3_stmt* stmt, std::shared_ptr<CachedStatement> entry)
    : stmt_(stmt), entry_(std::move(entry)) {}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept
    : stmt_(other.stmt_), entry_(std::move(other.entry_)) {
    other.stmt_ = nullptr;
}

SqlStatement::~SqlStatement() {
    if (!stmt_) return;
    if (entry_ && !entry_->dropped) {
        reset();
        entry_->lent = false;
    } else {
        sqlite3_finalize(stmt_);
    }
}

QString SqlStatement::IdListSql() {
    return QStringLiteral("(SELECT value FROM json_each(?))");
}

QString SqlStatement::IdListValue(const std::vector<int64_t>& ids) {
    QString out = QStringLiteral("[");
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i) out += QLatin1Char(',');
        out += QString::number(ids[i]);
    }
    return out + QLatin1Char(']');
}

void SqlStatement::reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

SqlStatement& SqlStatement::bindNull(int i) {
    sqlite3_bind_null(stmt_, i);
    return *this;
}

SqlStatement& SqlStatement::bind(int i, int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
}

SqlStatement& SqlStatement::bind(int i, double v) {
    sqlite3_bind_double(stmt_, i, v);
    return *this;
}

SqlStatement& SqlStatement::bind(int i, const QString& v) {
    const QByteArray utf8 = v.toUtf8();
    sqlite3_bind_text(stmt_, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqlStatement& SqlStatement::bindStored(int i, const Variant& v) {
    switch (v.type()) {
        case VarType::Empty:
        case VarType::Null:
            return bindNull(i);
        case VarType::String:
            return bind(i, v.stringValue());
        case VarType::Single:
        case VarType::Double:
        case VarType::Date:
            return bind(i, v.doubleValue());
        case VarType::Boolean:
            return bind(i, static_cast<int64_t>(v.boolValue() ? 1 : 0));
        case VarType::Currency:
            return bind(i, static_cast<int64_t>(v.currencyValue().raw()));
        default:
            if (v.isNumeric()) return bind(i, static_cast<int64_t>(v.intValue()));
            return bind(i, v.toText());
    }
}

bool SqlStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int code = sqlite3_extended_errcode(sqlite3_db_handle(stmt_));
    const QString msg = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt_)));
    reset();
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY) {
        // "UNIQUE constraint failed: Tabella.Campo, Tabella.Campo": name the fields.
        QStringList fields;
        for (const QString& f : msg.section(QStringLiteral(": "), 1).split(QStringLiteral(", ")))
            if (!f.endsWith(QStringLiteral("._Owner")) && !f.endsWith(QStringLiteral("._OwnerOID")))
                fields << f;
        LibraryError::Raise(odbErrDuplicateKey, LibraryError::Text(odbErrDuplicateKey) +
                                                    QStringLiteral(" (") + fields.join(QStringLiteral(", ")) +
                                                    QLatin1Char(')'));
    }
    RaiseEngineError(code, msg);
}

int64_t SqlStatement::run() {
    while (step()) {
    }
    const int64_t changes = sqlite3_changes64(sqlite3_db_handle(stmt_));
    reset();
    return changes;
}

int SqlStatement::columnCount() const {
    return sqlite3_column_count(stmt_);
}
bool SqlStatement::isNull(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}
int64_t SqlStatement::int64(int col) const {
    return sqlite3_column_int64(stmt_, col);
}
double SqlStatement::real(int col) const {
    return sqlite3_column_double(stmt_, col);
}

QString SqlStatement::text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, col)) : QString();
}

Variant SqlStatement::stored(int col) const {
    switch (sqlite3_column_type(stmt_, col)) {
        case SQLITE_NULL:
            return Variant::null();
        case SQLITE_INTEGER:
            return Variant(static_cast<int64_t>(sqlite3_column_int64(stmt_, col)));
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(stmt_, col));
        default:
            return Variant(text(col));
    }
}

}  // namespace odb
