// Data sets: where-texts the library writes for the program, and rows equivalent on a unique index.
#include "odb/DataSetPrivate.h"

namespace odb {

QString DataSet::ReferenceCondition(const QString& referenceName, bool equal, const Variant& key,
                                    int32_t) const {
    const ReferenceDef& ref = GetReferenceDef(referenceName);
    const QString path = ref.name + QStringLiteral(".OID");
    if (key.isEmptyOrNull())
        return (equal ? QStringLiteral("ISNULL(") : QStringLiteral("NOT ISNULL(")) + path + QLatin1Char(')');
    return path + (equal ? QStringLiteral("=") : QStringLiteral("<>")) +
           WhereLiteral::value(Variant(key.toDouble()));
}

QString DataSet::RowCondition(int32_t mode, const Variant& bookmark, int32_t exclude) const {
    const QString op = exclude ? QStringLiteral("<>") : QStringLiteral("=");
    if (!bookmark.isMissing() && !bookmark.isEmptyOrNull())
        return kOidColumn + op + WhereLiteral::value(Variant(bookmark.toDouble()));
    (void)mode;
    requireRow();
    // The row by its base row: a shared-base row by the part it stands on.
    if (d_->table_.HasBaseTable() && d_->table_.GetBaseKind() == BaseKind::SharedBase) {
        const Variant base = BaseKey();
        if (!base.isNull())
            return d_->table_.BaseLinkField() + op + WhereLiteral::value(Variant(base.toDouble()));
    }
    return kOidColumn + op + WhereLiteral::value(Bookmark());
}

QString DataSet::RowsCondition(int32_t, const Variant&) const {
    if (d_->ids_.empty()) return QStringLiteral("OID IN (0)");
    QStringList parts;
    for (int64_t id : d_->ids_)
        parts << QString::number(id);
    return QStringLiteral("OID IN (") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString DataSet::MakeCondition(const QString& column, int32_t, const Variant& value, int32_t op,
                               const Variant&, const QString&, int32_t) const {
    const bool differ = op == 1;
    if (value.isEmptyOrNull())
        return (differ ? QStringLiteral("NOT ISNULL(") : QStringLiteral("ISNULL(")) + column +
               QLatin1Char(')');
    const FieldDef* f = d_->table_.FieldByName(column);
    // The value is compared as it stands: "*", "%", "?" and quotes in it are part of it.
    const QString literal = f ? f->ValueLiteral(value) : WhereLiteral::value(value);
    return column + (differ ? QStringLiteral("<>") : QStringLiteral("=")) + literal;
}

QString DataSet::ValueLiteral(const QString& column, int32_t, const Variant& value) const {
    if (const FieldDef* f = d_->table_.FieldByName(column)) return f->ValueLiteral(value);
    return WhereLiteral::value(value);
}

// The condition matching a row's values on one unique index: False when a value is Null (Null never
// collides) or a column lies in another table of the chain. The parent link counts when asked.
bool DataSet::uniqueIndexMatch(const Table& t, const RowBuffer& b, const IndexDef& idx, bool withParentLink,
                               QStringList& conds, std::vector<Variant>& vals) {
    for (const auto& c : idx.columns()) {
        QStringList names;
        if (c.kind != IndexColumn::ParentLink)
            names << c.name;
        else if (withParentLink)
            names << kOwnerColumn << kOwnerOidColumn;
        for (const QString& n : names) {
            const int ci = t.columnIndex(n);
            if (ci < 0 || b.values[static_cast<size_t>(ci)].isNull()) return false;
            const StoredColumn& col = t.columns()[static_cast<size_t>(ci)];
            conds << SqlQuote(col.name) + QStringLiteral("=?");
            vals.push_back(RowStore::toStored(b.values[static_cast<size_t>(ci)], col.type));
        }
    }
    return !conds.isEmpty();
}

bool DataSet::collidesOnUniqueIndex() {
    for (const auto& b : row()) {
        const Table& t = *b->table;
        for (const auto& idx : t.OwnIndexes()) {
            QStringList conds;
            std::vector<Variant> vals;
            if (!idx->unique() || !uniqueIndexMatch(t, *b, *idx, true, conds, vals)) continue;
            auto st = d_->engine_.conn().statement(
                QStringLiteral("SELECT count(*) FROM ") + t.sqlName() + QStringLiteral(" WHERE ") +
                conds.join(QStringLiteral(" AND ")) + QStringLiteral(" AND \"OID\"<>?"));
            int i = 1;
            for (const auto& v : vals)
                st.bindStored(i++, v);
            st.bind(i, b->oid);
            st.step();
            const bool found = st.int64(0) > 0;
            st.reset();
            if (found) return true;
        }
    }
    return false;
}

std::shared_ptr<DataSet> DataSet::EquivalentRows(const QString& where, int32_t, int32_t) {
    // Stored rows without an owner that collide with the new row on a unique index.
    requireRow();
    std::vector<int64_t> found;
    for (const auto& b : row()) {
        const Table& t = *b->table;
        for (const auto& idx : t.OwnIndexes()) {
            QStringList conds;
            std::vector<Variant> vals;
            if (!idx->unique() || !uniqueIndexMatch(t, *b, *idx, false, conds, vals)) continue;
            auto st =
                d_->engine_.conn().statement(QStringLiteral("SELECT \"OID\" FROM ") + t.sqlName() +
                                             QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND ")) +
                                             QStringLiteral(" AND \"_OwnerOID\" IS NULL AND \"OID\"<>?"));
            int i = 1;
            for (const auto& v : vals)
                st.bindStored(i++, v);
            st.bind(i, b->oid);
            while (st.step())
                found.push_back(st.int64(0));
            st.reset();
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    auto ds = make(d_->engine_, d_->table_);
    Scope scope;
    scope.kind = Scope::Rows;
    scope.rows = found;
    ds->open(where, {}, {}, scope);
    return ds;
}

}  // namespace odb
