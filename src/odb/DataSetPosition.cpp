// DataSet: a row's place in the view found by its order values. Rows ordered before it are
// counted by SQLite, the rows around it read through the order from it in both directions: no
// list of every row crosses into the program.
#include <unordered_set>

#include "odb/DataSetPrivate.h"

namespace odb {

namespace {

// The rows read on each side of a row found past the first rows: a screen of a grid and more.
constexpr int64_t kAround = 128;

SqlValue ToSqlValue(const Variant& v) {
    switch (v.type()) {
        case VarType::Empty:
        case VarType::Null:
            return {};
        case VarType::String:
            return v.stringValue();
        case VarType::Double:
            return v.doubleValue();
        default:
            return static_cast<int64_t>(v.intValue());
    }
}

// SQL with its values, built side by side.
struct Sql {
    QString text;
    std::vector<SqlValue> values;
    Sql& add(const QString& t, const std::vector<SqlValue>& v = {}) {
        text += t;
        values.insert(values.end(), v.begin(), v.end());
        return *this;
    }
};

// The rows ordered before the row with order values `keys` and identity `id` (`after`: ordered
// after it, or the row itself). SQLite sorts nulls first; equal values under the term's collation
// go on to the next term, the identity last, as the view's ORDER BY does.
Sql Beside(const std::vector<OrderTerm>& terms, const std::vector<SqlValue>& keys, int64_t id, bool after) {
    Sql inner;
    inner.add(kAlias + (after ? QStringLiteral(".\"OID\">=?") : QStringLiteral(".\"OID\"<?")), {id});
    for (size_t k = terms.size(); k-- > 0;) {
        const OrderTerm& t = terms[k];
        const QString term = QLatin1Char('(') + t.sql + QLatin1Char(')');
        const bool null = std::holds_alternative<std::monostate>(keys[k]);
        // Whether the side sought holds the smaller values (nulls the smallest).
        const bool smaller = after == t.descending;
        Sql s;
        s.add(QStringLiteral("("));
        if (smaller && !null) {
            s.add(QStringLiteral("(") + term + QStringLiteral(" IS NULL OR "), t.values);
            s.add(term + QStringLiteral("<?) OR ("), t.values);
            s.values.push_back(keys[k]);
        } else if (!smaller) {
            s.add(term + (null ? QStringLiteral(" IS NOT NULL OR (") : QStringLiteral(">? OR (")), t.values);
            if (!null) s.values.push_back(keys[k]);
        }
        s.add(term + (null ? QStringLiteral(" IS NULL AND ") : QStringLiteral("=? AND ")), t.values);
        if (!null) s.values.push_back(keys[k]);
        s.add(inner.text, inner.values);
        s.add(smaller && null ? QStringLiteral(")") : QStringLiteral("))"));
        inner = std::move(s);
    }
    return inner;
}

}  // namespace

RowIds::Locator DataSet::rowLocator() const {
    // The view's rows as the reader reads them: its joins, its conditions, its order.
    QStringList conds;
    std::vector<SqlValue> condValues;
    scopeCondition(conds, condValues);
    viewConditions({}, conds, condValues);
    SqlFragment order;
    if (!d_->order_.trimmed().isEmpty()) order = translate(true, d_->order_);
    const QString from = QStringLiteral(" FROM ") + d_->table_.sqlName() + QLatin1Char(' ') + kAlias +
                         order.joins + QStringLiteral(" WHERE ") +
                         (conds.isEmpty() ? QStringLiteral("1") : conds.join(QStringLiteral(" AND ")));
    Engine& engine = d_->engine_;
    return [&engine, from, condValues, terms = order.terms](int64_t id, const std::vector<int64_t>& seen) {
        RowIds::Located found;
        auto run = [&engine](const Sql& sql, auto&& each) {
            auto st = engine.conn().statement(sql.text);
            bindValues(st, sql.values);
            while (st.step())
                each(st);
            st.reset();
        };
        // The row's order values; no row: it is not in the view.
        Sql keySql;
        keySql.add(QStringLiteral("SELECT 1"));
        for (const OrderTerm& t : terms)
            keySql.add(QStringLiteral(", ") + t.sql, t.values);
        keySql.add(from, condValues)
            .add(QStringLiteral(" AND ") + kAlias + QStringLiteral(".\"OID\"=?"), {id});
        std::vector<SqlValue> keys;
        bool there = false;
        run(keySql, [&](SqlStatement& st) {
            there = true;
            for (int c = 1; c <= static_cast<int>(terms.size()); ++c)
                keys.push_back(ToSqlValue(st.stored(c)));
        });
        if (!there) return found;

        // Its place among the rows not seen, after the seen ones.
        const Sql before = Beside(terms, keys, id, false);
        int64_t ahead = 0;
        int64_t seenAhead = 0;
        Sql countSql;
        countSql.add(QStringLiteral("SELECT count(*)")).add(from, condValues);
        countSql.add(QStringLiteral(" AND ")).add(before.text, before.values);
        run(countSql, [&](SqlStatement& st) { ahead = st.int64(0); });
        Sql seenSql = countSql;
        seenSql.add(
            QStringLiteral(" AND ") + kAlias + QStringLiteral(".\"OID\" IN ") + SqlStatement::IdListSql(),
            {SqlStatement::IdListValue(seen)});
        run(seenSql, [&](SqlStatement& st) { seenAhead = st.int64(0); });
        found.at = static_cast<int64_t>(seen.size()) + ahead - seenAhead;

        // The rows around it, the seen ones left out: from it onwards, and back from it.
        const std::unordered_set<int64_t> known(seen.begin(), seen.end());
        auto around = [&](const Sql& side, bool back) {
            Sql sql;
            sql.add(QStringLiteral("SELECT ") + kAlias + QStringLiteral(".\"OID\"")).add(from, condValues);
            sql.add(QStringLiteral(" AND ")).add(side.text, side.values).add(QStringLiteral(" ORDER BY "));
            for (const OrderTerm& t : terms)
                sql.add(t.sql + ((t.descending != back) ? QStringLiteral(" DESC, ") : QStringLiteral(", ")),
                        t.values);
            sql.add(kAlias + QStringLiteral(".\"OID\"") + (back ? QStringLiteral(" DESC") : QString()) +
                        QStringLiteral(" LIMIT ?"),
                    {kAround});
            std::vector<int64_t> ids;
            run(sql, [&](SqlStatement& st) {
                if (!known.count(st.int64(0))) ids.push_back(st.int64(0));
            });
            return ids;
        };
        std::vector<int64_t> ids = around(before, true);
        std::reverse(ids.begin(), ids.end());
        found.first = found.at - static_cast<int64_t>(ids.size());
        const std::vector<int64_t> next = around(Beside(terms, keys, id, true), false);
        ids.insert(ids.end(), next.begin(), next.end());
        found.ids = std::move(ids);
        return found;
    };
}

}  // namespace odb
