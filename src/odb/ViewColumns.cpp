// Columns of views: what the grid, the field chooser and the filters offer for a table.
#include "odb/ViewColumns.h"

#include "base/AppError.h"
#include "odb/Schema.h"
#include "odb/StorageSchema.h"
#include "odb/Table.h"
#include "odb/condition/ConditionSql.h"

namespace odb {

namespace {

// A definition the caller shares with the table (never freed through the pointer).
std::shared_ptr<const FieldDef> Borrowed(const FieldDef* f) {
    return std::shared_ptr<const FieldDef>(std::shared_ptr<const FieldDef>(), f);
}

}  // namespace

std::shared_ptr<const FieldDef> ViewColumnDef(const Table& table, const QString& name) {
    const QString n = name.trimmed();
    if (n.isEmpty()) return nullptr;
    if (const FieldDef* f = table.FieldByName(n)) return Borrowed(f);
    if (const ReferenceDef* r = table.FindReference(n)) {
        if (r->collection) return nullptr;
        auto def = std::make_shared<FieldDef>();
        def->name = r->name;
        def->description = r->description;
        def->lookup = r;
        def->table = r->table;
        def->type = ftText;
        const QStringList display = r->displayFieldList();
        if (const Table* target = r->refTable_; target && !display.isEmpty())
            if (const FieldDef* shown = target->FieldByName(display.front())) {
                def->type = shown->type;
                def->size = shown->size;
                def->format = shown->format;
                def->valueList = shown->valueList;
            }
        if (r->ReadOnly()) def->flags1 = 15;
        return def;
    }
    // A path or an expression: the type the where-texts give it.
    try {
        StorageSchema schema(table.engine());
        ConditionSql sql(schema, table.Name(), QStringLiteral("r"));
        const SqlFragment e = sql.Expression(n);
        auto def = std::make_shared<FieldDef>();
        def->name = n;
        def->type = e.type >= 0 ? e.type : ftText;
        def->computed = true;
        def->flags1 = 15;
        def->table = table.Name();
        return def;
    } catch (const AppError&) {
        return nullptr;
    }
}

QStringList DefaultColumns(const Table& table) {
    QStringList out;
    const QString browse = table.BrowseColumns();
    if (!browse.trimmed().isEmpty()) {
        for (const QString& item : browse.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString name = item.trimmed();
            const ReferenceDef* r = table.FindReference(name);
            if (r && r->collection) continue;
            if (!r && !table.FieldByName(name)) continue;
            out << (r ? r->name : table.FieldByName(name)->name);
        }
        if (!out.isEmpty()) return out;
    }
    for (const FieldDef* f : table.Fields())
        if (f->shown) out << f->name;
    return out;
}

}  // namespace odb
