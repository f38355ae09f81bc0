// One table of the open database: its definition along the chain and its physical columns.
#include "odb/Table.h"

#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Engine.h"
#include "odb/LibraryError.h"
#include "odb/WhereLiteral.h"

namespace odb {

QString SqlQuote(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

Table::Table(Engine& engine, std::shared_ptr<itfDefTable> definition)
    : engine_(engine), definition_(std::move(definition)) {}

QString Table::Caption(int32_t) const {
    return identity_.caption().isEmpty() ? name_ : identity_.caption();
}

QString Table::KeyField(int32_t) const {
    return kOidColumn;
}

QString Table::sqlName() const {
    return SqlQuote(name_);
}

QString Table::BaseLinkField() const {
    if (!base_) return {};
    if (identity_.baseKind() == BaseKind::Exclusive) return kOidColumn;
    return QStringLiteral("OID_") + base_->Name();
}

const FieldDef* Table::BaseLinkFieldDef() const {
    return baseLinkDef_.get();
}

std::vector<const Table*> Table::chain() const {
    std::vector<const Table*> out;
    for (const Table* t = this; t; t = t->base_)
        out.insert(out.begin(), t);
    return out;
}

std::vector<const FieldDef*> Table::Fields() const {
    std::vector<const FieldDef*> out;
    for (const Table* t : chain())
        for (const auto& f : t->fields_.items())
            out.push_back(f.get());
    return out;
}

std::vector<const ReferenceDef*> Table::References() const {
    std::vector<const ReferenceDef*> out;
    for (const Table* t : chain())
        for (const auto& r : t->references_.items())
            out.push_back(r.get());
    return out;
}

const FieldDef* Table::FieldByName(const QString& name) const {
    const QString n = name.normalized(QString::NormalizationForm_C);
    for (const Table* t = this; t; t = t->base_) {
        for (const auto& f : t->fields_.items())
            if (f->name.compare(n, Qt::CaseInsensitive) == 0) return f.get();
        if (t->baseLinkDef_ && t->baseLinkDef_->name.compare(n, Qt::CaseInsensitive) == 0)
            return t->baseLinkDef_.get();
    }
    return nullptr;
}

bool Table::HasField(const QString& name) const {
    return FieldByName(name) != nullptr;
}

const FieldDef& Table::Field(const QString& name) const {
    const FieldDef* f = FieldByName(name);
    if (!f)
        LibraryError::Raise(odbErrUnknownField, LibraryError::Text(odbErrUnknownField) +
                                                    QStringLiteral(": ") + name_ + QLatin1Char('.') + name);
    return *f;
}

QString Table::MakeCondition(const QString& field, const Variant& value, bool, int32_t op, const Variant&,
                             const QString&, int32_t) const {
    if (const FieldDef* f = FieldByName(field)) return f->MakeCondition(value, op);
    const bool differ = op == 1;
    if (value.isEmptyOrNull())
        return (differ ? QStringLiteral("NOT ISNULL(") : QStringLiteral("ISNULL(")) + field +
               QLatin1Char(')');
    return field + (differ ? QStringLiteral("<>") : QStringLiteral("=")) + WhereLiteral::value(value);
}

const ReferenceDef* Table::FindReference(const QString& name) const {
    // Rules ask by constant ASCII names, which are their own composed form: no copy made of them.
    const QChar* c = name.constData();
    bool ascii = true;
    for (qsizetype i = 0; i < name.size() && ascii; ++i)
        ascii = c[i].unicode() < 0x80;
    const QString n = ascii ? name : name.normalized(QString::NormalizationForm_C);
    // Letter case folds one code unit to one: names of another length never match.
    for (const Table* t = this; t; t = t->base_)
        for (const auto& r : t->references_.items())
            if (r->name.size() == n.size() && (r->name == n || r->name.compare(n, Qt::CaseInsensitive) == 0))
                return r.get();
    return nullptr;
}

const ReferenceDef& Table::Reference(const QString& name) const {
    const ReferenceDef* r = FindReference(name);
    if (!r)
        LibraryError::Raise(odbErrUnknownReference, LibraryError::Text(odbErrUnknownReference) +
                                                        QStringLiteral(": ") + name_ + QLatin1Char('.') +
                                                        name);
    return *r;
}

Table& Table::ReferenceTable(const QString& referenceName) const {
    return engine_.table(Reference(referenceName).targetTable);
}

int Table::columnIndex(const QString& name) const {
    return names_.find(name);
}

const ColumnNames::Constant& Table::column(const char* name) const {
    return names_.find(name);
}

void Table::setColumns(std::vector<StoredColumn> columns) {
    columns_ = std::move(columns);
    std::vector<QString> names;
    for (const auto& c : columns_)
        names.push_back(c.name);
    names_.reset(std::move(names));
    ownerColumn_ = names_.find(kOwnerColumn);
    ownerOidColumn_ = names_.find(kOwnerOidColumn);
}

std::shared_ptr<DataSet> Table::OpenData(const QString& where, const QString& order,
                                         const QString& selFields) {
    if (!engine_.isOpen()) LibraryError::Raise(odbErrNotOpen);
    auto ds = DataSet::make(engine_, *this);
    ds->open(where, order, selFields);
    return ds;
}

odb::Tables& Table::GetTables() const {
    return engine_.tables();
}

Database& Table::GetDatabase() const {
    return engine_.database();
}

}  // namespace odb
