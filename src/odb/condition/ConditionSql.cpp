// SQL generation from the condition tree: literals bound by type, Booleans as conditions,
// text comparisons through the VBTEXT collation, sub-selects in their own scope.
#include "odb/condition/ConditionSql.h"

#include "base/AppError.h"
#include "odb/Schema.h"
#include "odb/condition/ConditionError.h"
#include "odb/condition/ConditionParser.h"

namespace odb {

namespace {

int32_t LiteralType(const Variant& v) {
    switch (v.type()) {
        case VarType::Boolean:
            return ftBoolean;
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            return ftLong;
        case VarType::String:
            return ftText;
        case VarType::Date:
            return ftDateTime;
        case VarType::Currency:
            return ftCurrency;
        case VarType::Null:
        case VarType::Empty:
            return -1;
        default:
            return ftDecimal;
    }
}

void Append(std::vector<SqlValue>& to, const std::vector<SqlValue>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

QString Collated(const SqlFragment& f) {
    return IsTextType(f.type)
               ? f.sql + QStringLiteral(" COLLATE ") + QLatin1String(ConditionSql::kTextCollation)
               : f.sql;
}

// A currency operand outside currency-only sums counts in units, not ten-thousandths.
SqlFragment InUnits(SqlFragment f) {
    if (f.type == ftCurrency) {
        f.sql = QStringLiteral("(%1 / 10000.0)").arg(f.sql);
        f.type = ftDecimal;
    }
    return f;
}

// A chain of one operator, flat in groups: SQLite nests each term of a flat chain one level
// deeper, so long chains (a selection of thousands of rows) go in groups of groups.
QString Chain(const QStringList& terms, const QString& op) {
    constexpr int kGroup = 64;
    if (terms.size() <= kGroup) return QLatin1Char('(') + terms.join(op) + QLatin1Char(')');
    QStringList groups;
    for (qsizetype i = 0; i < terms.size(); i += kGroup)
        groups << Chain(terms.mid(i, kGroup), op);
    return Chain(groups, op);
}

}  // namespace

ConditionSql::ConditionSql(const ConditionSchema& schema, const QString& table, const QString& alias)
    : schema_(schema), scope_{table, alias} {}

SqlFragment ConditionSql::Where(const QString& text) {
    text_ = text;
    ConditionParser parser(text);
    const ConditionNodePtr node = parser.ParseCondition();
    if (!node) return {};
    return condition(*node, scope_);
}

SqlFragment ConditionSql::Expression(const QString& text) {
    text_ = text;
    ConditionParser parser(text);
    const ConditionNodePtr node = parser.ParseExpression();
    if (!node) return {};
    return value(*node, scope_);
}

std::vector<SelectedField> ConditionSql::Fields(const QString& text) {
    text_ = text;
    ConditionParser parser(text);
    std::vector<SelectedField> fields;
    for (const ConditionFieldItem& item : parser.ParseFieldList()) {
        SelectedField field;
        field.all = item.all;
        if (!item.all) {
            field.name = item.name;
            field.expr = value(*item.expr, scope_);
            field.plain = item.expr->kind == ConditionNode::Path && item.expr->path.size() == 1 &&
                          item.name.compare(item.expr->path[0], Qt::CaseInsensitive) == 0;
        }
        fields.push_back(std::move(field));
    }
    return fields;
}

SqlFragment ConditionSql::Order(const QString& text, const std::vector<SelectedField>& fields) {
    text_ = text;
    ConditionParser parser(text);
    SqlFragment out;
    for (const ConditionOrderItem& item : parser.ParseOrderList()) {
        SqlFragment term;
        bool named = false;
        if (item.expr->kind == ConditionNode::Path && item.expr->path.size() == 1) {
            for (const SelectedField& f : fields) {
                if (!f.all && f.name.compare(item.expr->path[0], Qt::CaseInsensitive) == 0) {
                    // A bare name is the same value read anew, joined where it looks a row up.
                    if (!f.plain) term = f.expr;
                    named = !f.plain;
                    break;
                }
            }
        }
        if (!named) {
            joinLookups_ = true;
            term = value(*item.expr, scope_);
            joinLookups_ = false;
        }
        if (!out.sql.isEmpty()) out.sql += QStringLiteral(", ");
        out.sql += Collated(term) + (item.descending ? QStringLiteral(" DESC") : QString());
        Append(out.values, term.values);
        out.terms.push_back({Collated(term), item.descending, term.values});
    }
    out.joins = aliases_.Joins();
    return out;
}

SqlFragment ConditionSql::condition(const ConditionNode& node, const Scope& scope) {
    SqlFragment out;
    out.type = ftBoolean;
    switch (node.kind) {
        case ConditionNode::And:
        case ConditionNode::Or: {
            QStringList terms;
            for (const auto& arg : node.args) {
                SqlFragment a = condition(*arg, scope);
                terms << a.sql;
                Append(out.values, a.values);
            }
            out.sql = Chain(
                terms, node.kind == ConditionNode::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
            return out;
        }
        case ConditionNode::Not: {
            SqlFragment a = condition(*node.args[0], scope);
            out.sql = QStringLiteral("(NOT %1)").arg(a.sql);
            out.values = std::move(a.values);
            return out;
        }
        case ConditionNode::Compare:
            return compare(node, scope);
        case ConditionNode::Like: {
            // Like reads a value as its text: money in units, dates as the Italian date text.
            SqlFragment a = InUnits(value(*node.args[0], scope));
            if (IsDateType(a.type)) a.sql = QStringLiteral("vb_datetext(%1)").arg(a.sql);
            SqlFragment p = value(*node.args[1], scope, ftText);
            out.sql = QStringLiteral("vb_like(%1, %2)").arg(a.sql, p.sql);
            if (node.negated) out.sql = QStringLiteral("(NOT %1)").arg(out.sql);
            Append(out.values, a.values);
            Append(out.values, p.values);
            return out;
        }
        case ConditionNode::IsNull: {
            SqlFragment a = value(*node.args[0], scope);
            out.sql = QStringLiteral("(%1 IS %2NULL)")
                          .arg(a.sql, node.negated ? QStringLiteral("NOT ") : QString());
            out.values = std::move(a.values);
            return out;
        }
        case ConditionNode::InList:
            return inList(node, scope);
        case ConditionNode::InSelect:
            return inSelect(node, scope);
        case ConditionNode::Literal:
            if (node.value.type() == VarType::Boolean) {
                out.sql = node.value.boolValue() ? QStringLiteral("1") : QStringLiteral("0");
                return out;
            }
            if (node.value.isNull()) {
                out.sql = QStringLiteral("NULL");
                return out;
            }
            break;
        default:
            break;
    }
    // A value standing as a condition: true when not zero, as a bare Boolean field reads.
    SqlFragment v = value(node, scope);
    if (IsTextType(v.type) || IsDateType(v.type)) {
        const QString what = node.kind == ConditionNode::Path
                                 ? QStringLiteral("'%1'").arg(node.path.join(u'.'))
                                 : QStringLiteral("il valore");
        RaiseConditionError(text_, node.pos, QStringLiteral("%1 non è una condizione").arg(what));
    }
    out.sql = QStringLiteral("(%1 <> 0)").arg(v.sql);
    out.values = std::move(v.values);
    return out;
}

std::pair<SqlFragment, SqlFragment> ConditionSql::operands(const ConditionNode& left,
                                                           const ConditionNode& right, const Scope& scope) {
    const bool leftLiteral = left.kind == ConditionNode::Literal;
    const bool rightLiteral = right.kind == ConditionNode::Literal;
    if (leftLiteral && !rightLiteral) {
        SqlFragment r = value(right, scope);
        SqlFragment l = value(left, scope, r.type);
        return {std::move(l), std::move(r)};
    }
    SqlFragment l = value(left, scope);
    SqlFragment r = value(right, scope, rightLiteral && !leftLiteral ? l.type : -1);
    return {std::move(l), std::move(r)};
}

SqlFragment ConditionSql::compare(const ConditionNode& node, const Scope& scope) {
    auto [l, r] = operands(*node.args[0], *node.args[1], scope);
    SqlFragment out;
    out.type = ftBoolean;
    const bool text = IsTextType(l.type) || IsTextType(r.type);
    out.sql = QStringLiteral("(%1 %2 %3%4)")
                  .arg(l.sql, node.op, r.sql,
                       text ? QStringLiteral(" COLLATE ") + QLatin1String(kTextCollation) : QString());
    Append(out.values, l.values);
    Append(out.values, r.values);
    return out;
}

SqlFragment ConditionSql::inList(const ConditionNode& node, const Scope& scope) {
    SqlFragment l = value(*node.args[0], scope);
    SqlFragment out;
    out.type = ftBoolean;
    out.values = l.values;
    QStringList items;
    for (size_t i = 1; i < node.args.size(); ++i) {
        const ConditionNode& item = *node.args[i];
        SqlFragment v = value(item, scope, item.kind == ConditionNode::Literal ? l.type : -1);
        items << v.sql;
        Append(out.values, v.values);
    }
    out.sql = QStringLiteral("(%1 %2IN (%3))")
                  .arg(Collated(l), node.negated ? QStringLiteral("NOT ") : QString(),
                       items.join(QStringLiteral(", ")));
    return out;
}

SqlFragment ConditionSql::inSelect(const ConditionNode& node, const Scope& scope) {
    SqlFragment l = value(*node.args[0], scope);
    const std::optional<QString> table = schema_.ResolveTable(node.table);
    if (!table)
        RaiseConditionError(text_, node.pos, QStringLiteral("tabella sconosciuta '%1'").arg(node.table));
    const Scope inner{node.table, aliases_.Next()};
    SqlFragment selected = value(*node.args[1], inner);
    SqlFragment out;
    out.type = ftBoolean;
    out.sql = QStringLiteral("(%1 %2IN (SELECT %3 FROM %4 AS %5")
                  .arg(Collated(l), node.negated ? QStringLiteral("NOT ") : QString(), selected.sql, *table,
                       inner.alias);
    Append(out.values, l.values);
    Append(out.values, selected.values);
    if (node.args.size() > 2) {
        SqlFragment where = condition(*node.args[2], inner);
        out.sql += QStringLiteral(" WHERE ") + where.sql;
        Append(out.values, where.values);
    }
    out.sql += QStringLiteral("))");
    return out;
}

SqlFragment ConditionSql::value(const ConditionNode& node, const Scope& scope, int32_t target) {
    switch (node.kind) {
        case ConditionNode::Literal:
            return literal(node, target);
        case ConditionNode::Path:
            return path(node, scope);
        case ConditionNode::Month:
        case ConditionNode::Year: {
            SqlFragment a = value(*node.args[0], scope);
            a.sql = QStringLiteral("%1(%2)").arg(
                node.kind == ConditionNode::Month ? QStringLiteral("vb_month") : QStringLiteral("vb_year"),
                a.sql);
            a.type = ftLong;
            return a;
        }
        case ConditionNode::Concat: {
            SqlFragment a = InUnits(value(*node.args[0], scope));
            SqlFragment b = InUnits(value(*node.args[1], scope));
            a.sql = QStringLiteral("vb_concat(%1, %2)").arg(a.sql, b.sql);
            a.type = ftText;
            Append(a.values, b.values);
            return a;
        }
        case ConditionNode::Arith:
            return arithmetic(node, scope);
        case ConditionNode::Negate: {
            SqlFragment a = value(*node.args[0], scope, target);
            a.sql = QStringLiteral("(-%1)").arg(a.sql);
            return a;
        }
        default:
            return condition(node, scope);
    }
}

SqlFragment ConditionSql::arithmetic(const ConditionNode& node, const Scope& scope) {
    SqlFragment a = value(*node.args[0], scope);
    SqlFragment b = value(*node.args[1], scope);
    const bool exactMoney =
        a.type == ftCurrency && b.type == ftCurrency && (node.op == u'+' || node.op == u'-');
    if (!exactMoney) {
        a = InUnits(std::move(a));
        b = InUnits(std::move(b));
    }
    SqlFragment out;
    if (exactMoney) {
        out.type = ftCurrency;
    } else if (node.op != u'/' && (a.type == ftLong || a.type == ftBoolean) &&
               (b.type == ftLong || b.type == ftBoolean)) {
        out.type = ftLong;
    } else {
        out.type = ftDecimal;
    }
    // SQLite divides whole numbers as whole numbers; VB's "/" never does.
    const QString right = node.op == u'/' ? QStringLiteral("CAST(%1 AS REAL)").arg(b.sql) : b.sql;
    out.sql = QStringLiteral("(%1 %2 %3)").arg(a.sql, node.op, right);
    Append(out.values, a.values);
    Append(out.values, b.values);
    return out;
}

SqlFragment ConditionSql::literal(const ConditionNode& node, int32_t target) {
    SqlFragment out;
    if (node.value.isNull()) {
        out.sql = QStringLiteral("NULL");
        return out;
    }
    try {
        out.values.push_back(schema_.StoredValue(node.value, target));
    } catch (const AppError&) {
        RaiseConditionError(text_, node.pos, QStringLiteral("il valore non è adatto al campo confrontato"));
    }
    out.sql = QStringLiteral("?");
    out.type = target >= 0 ? target : LiteralType(node.value);
    return out;
}

SqlFragment ConditionSql::path(const ConditionNode& node, const Scope& scope) {
    aliases_.SetJoining(joinLookups_ && scope.alias == scope_.alias);
    const std::optional<ConditionField> field =
        schema_.ResolveField(scope.table, scope.alias, node.path, aliases_);
    aliases_.SetJoining(false);
    if (!field)
        RaiseConditionError(text_, node.pos,
                            QStringLiteral("campo sconosciuto '%1'").arg(node.path.join(u'.')));
    SqlFragment out;
    out.sql = QStringLiteral("(%1)").arg(field->sql);
    out.type = field->type;
    return out;
}

}  // namespace odb
