// The schema objects handed to the table classes: field, index and reference definitions.
#include "odb/Schema.h"

#include "odb/WhereLiteral.h"

namespace odb {

FieldDef& FieldDefs::AddField(const QString& name, int32_t type, int32_t size, int32_t arg4,
                              const QString& format, int32_t flags1, int32_t flags2, int32_t flags3,
                              bool shown, const QString& description, const QString& valueList,
                              int32_t arg12) {
    auto f = std::make_shared<FieldDef>();
    f->name = name.normalized(QString::NormalizationForm_C);
    f->type = type;
    f->size = size;
    f->arg4 = arg4;
    f->format = format;
    f->flags1 = flags1;
    f->flags2 = flags2;
    f->flags3 = flags3;
    f->shown = shown;
    f->description = description;
    f->valueList = valueList;
    f->arg12 = arg12;
    items_.push_back(f);
    return *f;
}

QString FieldDef::ValueLiteral(const Variant& value) const {
    if (value.isEmptyOrNull()) return QStringLiteral("Null");
    switch (type) {
        case ftDate:
        case ftTime:
        case ftDateTime:
            return WhereLiteral::date(value.toDate(), type != ftDate);
        case ftBoolean:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case ftLong:
        case ftDecimal:
        case ftQuantity:
        case ftCurrency:
            return WhereLiteral::value(Variant(value.toDouble()));
        default:
            return WhereLiteral::text(value.toText());
    }
}

QString FieldDef::MakeCondition(const Variant& value, int32_t op) const {
    if (value.isEmptyOrNull())
        return (op == 1 ? QStringLiteral("NOT ISNULL(") : QStringLiteral("ISNULL(")) + name +
               QStringLiteral(")");
    return name + (op == 1 ? QStringLiteral("<>") : QStringLiteral("=")) + ValueLiteral(value);
}

IndexDef::IndexDef(const QString& field, bool unique, const QString& name) : unique_(unique), name_(name) {
    if (!field.isEmpty())
        columns_.push_back({IndexColumn::Field, field.normalized(QString::NormalizationForm_C)});
}

IndexDef& IndexDef::AddField(const QString& name) {
    columns_.push_back({IndexColumn::Field, name.normalized(QString::NormalizationForm_C)});
    return *this;
}

IndexDef& IndexDef::AddColumn(const QString& name) {
    columns_.push_back({IndexColumn::Column, name.normalized(QString::NormalizationForm_C)});
    return *this;
}

IndexDef& IndexDef::AddParentLink() {
    columns_.push_back({IndexColumn::ParentLink, {}});
    return *this;
}

IndexDef& IndexDef::Where(const QString& condition) {
    condition_ = condition;
    return *this;
}

IndexDef& IndexDefs::AddIndex(const QString& field, bool unique, const QString& name) {
    items_.push_back(std::make_shared<IndexDef>(field, unique, name));
    return *items_.back();
}

void IndexDefs::SetBrowseColumns(const QString& list) {
    browse_ = list.normalized(QString::NormalizationForm_C);
}

QStringList ReferenceDef::displayFieldList() const {
    QStringList out;
    for (const QString& part : displayFields.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString t = part.trimmed();
        if (!t.isEmpty()) out << t;
    }
    return out;
}

QString ReferenceDef::KeyCondition(const Variant& key, const QString&, const QString&) const {
    // Over the target's rows: a lookup's rows whose link is `key`; a collection's rows that belong
    // to the row `key` of the declaring table.
    const QString path = collection ? table + QStringLiteral(".OID") : name + QStringLiteral(".OID");
    if (key.isEmptyOrNull()) return QStringLiteral("ISNULL(") + path + QStringLiteral(")");
    return path + QStringLiteral("=") + WhereLiteral::value(key);
}

ReferenceDef& ReferenceDefs::AddReference(const QString& name, const QString& targetTable, bool collection,
                                          bool owned, const QString& keyField, const QString& displayFields,
                                          int32_t flags1, int32_t flags2, int32_t flags3,
                                          const QString& description, int32_t kind, int32_t arg12,
                                          int32_t arg13) {
    auto r = std::make_shared<ReferenceDef>();
    r->name = name.normalized(QString::NormalizationForm_C);
    r->targetTable = targetTable.normalized(QString::NormalizationForm_C);
    r->collection = collection;
    r->owned = owned;
    r->keyField = keyField.normalized(QString::NormalizationForm_C);
    r->displayFields = displayFields.normalized(QString::NormalizationForm_C);
    r->flags1 = flags1;
    r->flags2 = flags2;
    r->flags3 = flags3;
    r->description = description;
    r->kind = kind;
    r->arg12 = arg12;
    r->arg13 = arg13;
    items_.push_back(r);
    return *r;
}

void DatabaseDef::AddTable(std::shared_ptr<itfDefTable> table) {
    tables_.push_back(std::move(table));
}

}  // namespace odb
