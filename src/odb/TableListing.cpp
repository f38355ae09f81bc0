// Which tables the lists of the layout editors offer, and the table behind a reference.
#include "odb/ConnectionsTable.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace odb {

namespace {

constexpr int32_t kSettingsTableFlag = 15;

}  // namespace

Table* Table::TableForReference(const QString& referenceName) const {
    const ReferenceDef* ref = FindReference(referenceName);
    return ref ? GetTables().find(ref->targetTable) : nullptr;
}

bool Table::IsInternal() const {
    return name_.compare(kConnectionsTableName, Qt::CaseInsensitive) == 0;
}

bool Table::IsHidden() const {
    return Flags(1) >= kSettingsTableFlag;
}

bool Table::IsListed() const {
    return !IsHidden() && !IsInternal() && OpenAllowed();
}

}  // namespace odb
