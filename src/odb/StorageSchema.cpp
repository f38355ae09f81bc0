// Names of where-texts resolved on the stored layout.
#include "odb/StorageSchema.h"

#include "odb/Engine.h"
#include "odb/Table.h"

namespace odb {

namespace {
QString col(const QString& alias, const QString& name) {
    return alias + QLatin1Char('.') + SqlQuote(name);
}
}  // namespace

std::optional<QString> StorageSchema::ResolveTable(const QString& table) const {
    const Table* t = engine_.findTable(table);
    if (!t) return std::nullopt;
    return t->sqlName();
}

std::optional<ConditionField> StorageSchema::ResolveField(const QString& table, const QString& alias,
                                                          const QStringList& path,
                                                          ConditionAliases& aliases) const {
    const Table* t = engine_.findTable(table);
    if (!t || path.isEmpty()) return std::nullopt;
    QStringList nfc;
    for (const QString& p : path)
        nfc << p.normalized(QString::NormalizationForm_C);
    return resolve(*t, alias, nfc, aliases, 0);
}

std::optional<ConditionField> StorageSchema::through(const Table& target, const QString& oidExpr,
                                                     const QString& extraWhere, const QStringList& path,
                                                     ConditionAliases& aliases, int depth) const {
    if (aliases.Joining()) {
        // The identity is the target's key: at most one row joins, as the sub-select reads at most one.
        const QString a = aliases.NextJoinAlias();
        aliases.Join(target.sqlName(), a,
                     col(a, kOidColumn) + QStringLiteral(" = ") + oidExpr +
                         (extraWhere.isEmpty() ? QString() : QStringLiteral(" AND ") + extraWhere));
        return resolve(target, a, path, aliases, depth + 1);
    }
    const QString a = aliases.Next();
    NoJoinsInside inside(aliases);
    auto inner = resolve(target, a, path, aliases, depth + 1);
    if (!inner) return std::nullopt;
    QString sql = QStringLiteral("(SELECT ") + inner->sql + QStringLiteral(" FROM ") + target.sqlName() +
                  QLatin1Char(' ') + a + QStringLiteral(" WHERE ") + col(a, kOidColumn) +
                  QStringLiteral(" = ") + oidExpr;
    if (!extraWhere.isEmpty()) sql += QStringLiteral(" AND ") + extraWhere;
    sql += QLatin1Char(')');
    return ConditionField{sql, inner->type};
}

std::optional<ConditionField> StorageSchema::resolve(const Table& t, const QString& alias,
                                                     const QStringList& path, ConditionAliases& aliases,
                                                     int depth) const {
    if (depth > 8) return std::nullopt;
    const QString& first = path.front();
    const QStringList rest = path.mid(1);

    if (path.size() == 1) {
        if (first.compare(kOidColumn, Qt::CaseInsensitive) == 0)
            return ConditionField{col(alias, kOidColumn), ftLong};
        const int ci = t.columnIndex(first);
        if (ci >= 0) {
            const StoredColumn& c = t.columns()[static_cast<size_t>(ci)];
            if (c.kind == StoredColumn::Lookup) {
                // A reference name stands for the referenced row's display value.
                const Table* target = engine_.findTable(c.reference->targetTable);
                const QStringList display = c.reference->displayFieldList();
                if (!target || display.isEmpty()) return ConditionField{col(alias, c.name), ftLong};
                return through(*target, col(alias, c.name), {}, QStringList{display.front()}, aliases, depth);
            }
            if (c.kind == StoredColumn::Owner || c.kind == StoredColumn::Derived) return std::nullopt;
            return ConditionField{col(alias, c.name), c.type};
        }
    } else {
        // A lookup reference: its target row's field.
        const int ci = t.columnIndex(first);
        if (ci >= 0 && t.columns()[static_cast<size_t>(ci)].kind == StoredColumn::Lookup) {
            const StoredColumn& c = t.columns()[static_cast<size_t>(ci)];
            const Table* target = engine_.findTable(c.reference->targetTable);
            if (!target) return std::nullopt;
            if (rest.size() == 1 && rest.front().compare(kOidColumn, Qt::CaseInsensitive) == 0)
                return ConditionField{col(alias, c.name), ftLong};
            return through(*target, col(alias, c.name), {}, rest, aliases, depth);
        }
        // The table itself.
        if (first.compare(t.Name(), Qt::CaseInsensitive) == 0)
            return resolve(t, alias, rest, aliases, depth + 1);
        // A derived extension of the row.
        for (const Table* d : t.derivedTables()) {
            if (first.compare(d->Name(), Qt::CaseInsensitive) != 0) continue;
            if (d->GetBaseKind() == BaseKind::Exclusive)
                return through(*d, col(alias, kOidColumn), {}, rest, aliases, depth);
            const QString a = aliases.Next();
            NoJoinsInside inside(aliases);
            auto inner = resolve(*d, a, rest, aliases, depth + 1);
            if (!inner) return std::nullopt;
            return ConditionField{QStringLiteral("(SELECT ") + inner->sql + QStringLiteral(" FROM ") +
                                      d->sqlName() + QLatin1Char(' ') + a + QStringLiteral(" WHERE ") +
                                      col(a, d->BaseLinkField()) + QStringLiteral(" = ") +
                                      col(alias, kOidColumn) + QStringLiteral(" LIMIT 1)"),
                                  inner->type};
        }
        // A referenced table, through the first lookup that leads to it.
        for (const auto& c : t.columns()) {
            if (c.kind != StoredColumn::Lookup) continue;
            if (c.reference->targetTable.compare(first, Qt::CaseInsensitive) != 0) continue;
            if (const Table* target = engine_.findTable(c.reference->targetTable))
                return through(*target, col(alias, c.name), {}, rest, aliases, depth);
        }
        // The container that owns the row.
        for (const auto& other : engine_.tables().items()) {
            if (first.compare(other->Name(), Qt::CaseInsensitive) != 0) continue;
            bool owns = false;
            for (const ReferenceDef* r : other->References())
                if (r->collection && r->owned && r->targetTable.compare(t.Name(), Qt::CaseInsensitive) == 0)
                    owns = true;
            if (!owns) break;
            QString ownerPrefix = other->Name();
            ownerPrefix.replace(QLatin1Char('\''), QStringLiteral("''"));
            return through(
                *other, col(alias, kOwnerOidColumn),
                col(alias, kOwnerColumn) + QStringLiteral(" LIKE '") + ownerPrefix + QStringLiteral(".%'"),
                rest, aliases, depth);
        }
    }
    // Fields of the base row (read by plain name along the chain).
    if (const Table* base = t.BaseTable()) {
        const QString link =
            t.GetBaseKind() == BaseKind::Exclusive ? col(alias, kOidColumn) : col(alias, t.BaseLinkField());
        return through(*base, link, {}, path, aliases, depth);
    }
    return std::nullopt;
}

}  // namespace odb
