// Translates where-texts, field lists and order texts into SQLite SQL on one table's rows.
// Every literal becomes a "?" bound from `values`; names come only from the ConditionSchema.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "odb/condition/ConditionAst.h"
#include "odb/condition/ConditionSchema.h"

namespace odb {

// One term of a translated order, collated as the order sorts it, with the values of its "?".
struct OrderTerm {
    QString sql;
    bool descending = false;
    std::vector<SqlValue> values;
};

// A fragment of SQL with the values of its "?" in order, and its type code (-1 when it has none).
struct SqlFragment {
    QString sql;
    std::vector<SqlValue> values;
    int32_t type = -1;
    // LEFT JOINs that the statement adds after its table for the fragment to read (an order's
    // lookups); they bind nothing.
    QString joins;
    std::vector<OrderTerm> terms;  // an order's terms, one by one
};

// One item of a translated field list: all of the table's fields ("*"), or an expression with
// its name (the "As" name, else the item as written: "CommesseCliente.Cliente").
struct SelectedField {
    bool all = false;
    QString name;
    SqlFragment expr;
    bool plain = false;  // a bare name, not an expression nor an "As" name: an order reads it itself
};

// Use one instance per statement: sub-select aliases are unique within it. The statement binds
// the values of its fragments in the order the fragments stand in its SQL.
class ConditionSql {
  public:
    // `table` is the table whose rows the statement reads, `alias` how the statement names them.
    ConditionSql(const ConditionSchema& schema, const QString& table, const QString& alias);

    // A where-text as an SQL condition; a blank text gives an empty fragment (every row).
    SqlFragment Where(const QString& text);
    // A value expression (fields, literals, arithmetic, &), as the sum of an aggregate takes it.
    SqlFragment Expression(const QString& text);
    // A field list ("*,(A & B) As C"); a blank text gives no items.
    std::vector<SelectedField> Fields(const QString& text);
    // An order text ("Progressivo DESC, Nome") as the terms of an ORDER BY; a name given as an
    // "As" name in `fields` sorts by that expression. Values looked up through references on the
    // row come through joins (`joins` of the result), not a sub-select per row.
    SqlFragment Order(const QString& text, const std::vector<SelectedField>& fields = {});

    // Text types compare and sort through this collation (case-insensitive, accents kept).
    static constexpr const char* kTextCollation = "VBTEXT";

  private:
    struct Scope {
        QString table;
        QString alias;
    };

    SqlFragment condition(const ConditionNode& node, const Scope& scope);
    SqlFragment value(const ConditionNode& node, const Scope& scope, int32_t target = -1);
    SqlFragment compare(const ConditionNode& node, const Scope& scope);
    SqlFragment inList(const ConditionNode& node, const Scope& scope);
    SqlFragment inSelect(const ConditionNode& node, const Scope& scope);
    SqlFragment arithmetic(const ConditionNode& node, const Scope& scope);
    SqlFragment literal(const ConditionNode& node, int32_t target);
    SqlFragment path(const ConditionNode& node, const Scope& scope);
    // Left and right operands, a literal taking the type of the other side.
    std::pair<SqlFragment, SqlFragment> operands(const ConditionNode& left, const ConditionNode& right,
                                                 const Scope& scope);

    const ConditionSchema& schema_;
    Scope scope_;
    ConditionAliases aliases_;
    QString text_;
    bool joinLookups_ = false;  // names on the statement's own row may join (an order's terms)
};

}  // namespace odb
