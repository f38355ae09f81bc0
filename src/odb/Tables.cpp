// The tables of an open database.
#include "odb/Tables.h"

#include "odb/LibraryError.h"
#include "odb/Table.h"

namespace odb {

Table* Tables::find(const QString& name) const {
    // Names mostly come spelt as defined: found by hash; any other spelling by comparison.
    if (Table* t = byName_.value(name, nullptr)) return t;
    const QString n = name.normalized(QString::NormalizationForm_C);
    for (const auto& t : items_)
        if (t->Name().compare(n, Qt::CaseInsensitive) == 0) return t.get();
    return nullptr;
}

Table& Tables::Item(const QString& name) const {
    Table* t = find(name);
    if (!t)
        LibraryError::Raise(odbErrUnknownTable,
                            LibraryError::Text(odbErrUnknownTable) + QStringLiteral(": ") + name);
    return *t;
}

Table& Tables::Item(int32_t position) const {
    if (position < 1 || position > Count())
        LibraryError::Raise(odbErrUnknownTable,
                            LibraryError::Text(odbErrUnknownTable) + QStringLiteral(": %1").arg(position));
    return *items_[static_cast<size_t>(position - 1)];
}

Table& Tables::Item(const Variant& nameOrPosition) const {
    if (nameOrPosition.isNumeric()) return Item(nameOrPosition.toLong());
    return Item(nameOrPosition.toText());
}

bool Tables::Exists(const QString& name) const {
    return find(name) != nullptr;
}

int32_t Tables::Count() const {
    return static_cast<int32_t>(items_.size());
}

void Tables::add(std::shared_ptr<Table> table) {
    // The first table of a name (in any spelling) is the one found.
    if (!find(table->Name())) byName_.insert(table->Name(), table.get());
    items_.push_back(std::move(table));
}

void Tables::clear() {
    items_.clear();
    byName_.clear();
}

}  // namespace odb
