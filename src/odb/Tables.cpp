// The tables of an open database.
#include "odb/Tables.h"

#include "odb/LibraryError.h"
#include "odb/Table.h"

namespace odb {

Table* Tables::find(const QString& name) const {
    const int i = positions_.find(name);
    return i < 0 ? nullptr : named_[static_cast<size_t>(i)];
}

Table& Tables::Item(const QString& name) const {
    Table* t = find(name);
    if (!t)
        LibraryError::Raise(odbErrUnknownTable,
                            LibraryError::Text(odbErrUnknownTable) + QStringLiteral(": ") + name);
    return *t;
}

Table& Tables::Item(const char* name) const {
    const ColumnNames::Constant& c = positions_.find(name);
    if (c.column < 0)
        LibraryError::Raise(odbErrUnknownTable,
                            LibraryError::Text(odbErrUnknownTable) + QStringLiteral(": ") + c.name);
    return *named_[static_cast<size_t>(c.column)];
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
    if (!find(table->Name())) {
        names_.push_back(table->Name());
        named_.push_back(table.get());
        positions_.reset(names_);
    }
    items_.push_back(std::move(table));
}

void Tables::clear() {
    items_.clear();
    names_.clear();
    named_.clear();
    positions_.reset({});
}

}  // namespace odb
