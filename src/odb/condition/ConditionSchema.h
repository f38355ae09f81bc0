// What the condition translator asks of the storage: the SQL for a name path on a table's rows,
// the SQL name of a table named in a sub-select, and the stored form of a literal.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

#include "base/Variant.h"

namespace odb {

// A value bound to a "?" of the translated SQL: NULL, a whole number, a double or a text.
using SqlValue = std::variant<std::monostate, int64_t, double, QString>;

// A name resolved on a scope: an SQL expression over that scope's row and its type code
// (FieldType of odb/Schema.h).
struct ConditionField {
    QString sql;
    int32_t type = 0;
};

// Hands out table aliases that are unique within one translated statement ("_a1", "_a2", ...).
// The caller's own alias for the outer row must not have this form.
class ConditionAliases {
  public:
    QString Next() { return QStringLiteral("_a%1").arg(++count_); }

    // While set, a row found by its identity may be read through a LEFT JOIN of the outer statement
    // instead of a sub-select run for every row (an order sorts every row by it). Only names on the
    // outer row may join: a join cannot see inside a sub-select.
    void SetJoining(bool on) { joining_ = on; }
    bool Joining() const { return joining_; }
    // An alias for a joined table, unlike those of sub-selects.
    QString NextJoinAlias() { return QStringLiteral("_j%1").arg(++joinCount_); }
    // Adds "LEFT JOIN `table` `alias` ON `on`"; `on` binds nothing.
    void Join(const QString& table, const QString& alias, const QString& on) {
        joins_ +=
            QStringLiteral(" LEFT JOIN ") + table + QLatin1Char(' ') + alias + QStringLiteral(" ON ") + on;
    }
    // The joins added, in order (each may use the aliases of those before it).
    const QString& Joins() const { return joins_; }

  private:
    int count_ = 0;
    int joinCount_ = 0;
    bool joining_ = false;
    QString joins_;
};

// Turns joining off for a sub-select's inside, back as it was after.
class NoJoinsInside {
  public:
    explicit NoJoinsInside(ConditionAliases& aliases) : aliases_(aliases), was_(aliases.Joining()) {
        aliases_.SetJoining(false);
    }
    ~NoJoinsInside() { aliases_.SetJoining(was_); }
    NoJoinsInside(const NoJoinsInside&) = delete;
    NoJoinsInside& operator=(const NoJoinsInside&) = delete;

  private:
    ConditionAliases& aliases_;
    bool was_;
};

class ConditionSchema {
  public:
    virtual ~ConditionSchema() = default;

    // The SQL expression for `path` (one or more names, matched without regard to case) on a row
    // of `table`, which the statement names `alias`: a column, or a correlated sub-select (in
    // parentheses) for a path through a container, a derived extension, a referenced table or a
    // reference's target field, or for a reference name its target row's display value.
    // Sub-selects take their aliases from `aliases`; while it joins, a row found by its identity may
    // be joined there instead. No value: the name is unknown.
    virtual std::optional<ConditionField> ResolveField(const QString& table, const QString& alias,
                                                       const QStringList& path,
                                                       ConditionAliases& aliases) const = 0;

    // The SQL text that names `table` after FROM (quoted as needed). No value: unknown table.
    virtual std::optional<QString> ResolveTable(const QString& table) const = 0;

    // The stored form of a literal compared with a field of `type` (-1: no field): Booleans 1/0,
    // currency as ten-thousandths, dates as OLE days, numbers as numbers, texts as texts.
    // Raises AppError when the literal does not fit the type.
    virtual SqlValue StoredValue(const Variant& literal, int32_t type) const;
};

}  // namespace odb
