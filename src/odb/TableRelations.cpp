// A table's relations as the related-rows menus count them, its title and the texts of its
// sub-selects.
#include "odb/ConnectionsTable.h"
#include "odb/Database.h"
#include "odb/Engine.h"
#include "odb/LibraryError.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace odb {

namespace {

bool IsConnections(const Table& t) {
    return t.Name().compare(kConnectionsTableName, Qt::CaseInsensitive) == 0;
}

std::vector<const ReferenceDef*> Incoming(const Table& table) {
    std::vector<const ReferenceDef*> out;
    for (const auto& other : table.GetTables().items()) {
        if (other.get() == &table) continue;
        for (const auto& r : other->OwnReferences())
            if (!r->collection && r->targetTable.compare(table.Name(), Qt::CaseInsensitive) == 0)
                out.push_back(r.get());
    }
    return out;
}

std::vector<Table*> Containers(const Table& table) {
    std::vector<Table*> out;
    for (const auto& other : table.GetTables().items())
        for (const auto& r : other->OwnReferences())
            if (r->collection && r->targetTable.compare(table.Name(), Qt::CaseInsensitive) == 0) {
                out.push_back(other.get());
                break;
            }
    return out;
}

[[noreturn]] void NoRelation(const Table& t, int32_t position) {
    LibraryError::Raise(odbErrUnknownReference, LibraryError::Text(odbErrUnknownReference) +
                                                    QStringLiteral(": %1 (%2)").arg(t.Name()).arg(position));
}

}  // namespace

QString Table::Title() const {
    return identity_.caption().isEmpty() ? NameWords(name_) : identity_.caption();
}

const ReferenceDef& Table::Reference(int32_t position) const {
    return references_.Item(position);
}

int32_t Table::IncomingCount() const {
    return static_cast<int32_t>(Incoming(*this).size());
}

const ReferenceDef& Table::IncomingReference(int32_t position) const {
    const auto all = Incoming(*this);
    if (position < 1 || position > static_cast<int32_t>(all.size())) NoRelation(*this, position);
    return *all[static_cast<size_t>(position - 1)];
}

int32_t Table::ContainerCount() const {
    return static_cast<int32_t>(Containers(*this).size());
}

Table& Table::Container(int32_t position) const {
    const auto all = Containers(*this);
    if (position < 1 || position > static_cast<int32_t>(all.size())) NoRelation(*this, position);
    return *all[static_cast<size_t>(position - 1)];
}

// The library's own table of logins is no row's referrer or container worth showing.
bool Table::HideAsReferrer() const {
    return IsConnections(*this);
}

bool Table::HideAsContainer() const {
    return IsConnections(*this);
}

bool Table::OpenAllowed() const {
    return !IsConnections(*this) || engine_.userLevel() >= 1;
}

QString Table::SelectText(const QString& column, const QString& where) const {
    QString text = QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + name_;
    if (!where.trimmed().isEmpty()) text += QStringLiteral(" WHERE ") + where;
    return text;
}

QString Table::KeyColumn(const QString&, int32_t) const {
    return kOidColumn;
}

std::shared_ptr<SelectionSet> Table::NewSelectionSet(int32_t kind) {
    return std::make_shared<SelectionSet>(*this, kind);
}

}  // namespace odb
