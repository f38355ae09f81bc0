// Data sets: related rows by relation number, the rebuild of a collection's totals, and the
// deletion rule of the logins table.
#include "odb/Connection.h"
#include "odb/ConnectionsTable.h"
#include "odb/DataSetPrivate.h"
#include "odb/LibraryError.h"
#include "odb/RowBuffer.h"
#include "odb/Table.h"
#include "odb/WhereLiteral.h"

namespace odb {

std::shared_ptr<DataSet> DataSet::OpenRelated(int32_t relation) {
    requireRow();
    // Numbers past this table's own relations go on along the base-table chain.
    const int32_t own = d_->table_.IncomingCount();
    if (relation > own && d_->table_.HasBaseTable()) return GetRelatedData()->OpenRelated(relation - own);
    const ReferenceDef& r = d_->table_.IncomingReference(relation);
    const Variant id = Bookmark();
    const QString where =
        id.isNull() ? QStringLiteral("False") : r.name + QStringLiteral(".OID=") + WhereLiteral::value(id);
    return r.OwnerTable().OpenData(where);
}

std::shared_ptr<DataSet> DataSet::OpenRelatedEx(int32_t relation) {
    requireRow();
    const int32_t own = d_->table_.ContainerCount();
    if (relation > own && d_->table_.HasBaseTable()) return GetRelatedData()->OpenRelatedEx(relation - own);
    return OpenRelated(d_->table_.Container(relation).Name());
}

bool DataSet::RebuildReference(const QString& referenceName) {
    requireEditable();
    requireRow();
    const ReferenceDef& ref = GetReferenceDef(referenceName);
    if (!ref.IsRebuildable())
        LibraryError::Raise(odbErrUnknownReference,
                            LibraryError::Text(odbErrUnknownReference) + QStringLiteral(": ") + ref.name);
    return d_->engine_.operation().run(this, [&]() {
        // No row given: the owner's rules take the whole collection out and sum it again.
        auto none = emptyOn(d_->engine_, d_->engine_.table(ref.targetTable));
        const RowChain chain = row();
        for (const auto& b : chain)
            if (itfSetData* ev = b->table->events())
                ev->OnBeforeUpdateReference(*this, *none, ref.name, false, false);
        for (const auto& b : chain)
            if (itfSetData* ev = b->table->events())
                ev->OnUpdateReference(*this, *none, ref.name, false, false);
        saveCurrent();
    });
}

void DataSet::refuseLoginDeletion(bool loginRows) {
    if (d_->table_.Name().compare(kConnectionsTableName, Qt::CaseInsensitive) != 0) return;
    if (!loginRows) RejectChange(QStringLiteral("Le connessioni si eliminano solo dal loro elenco."), 0);
    const Variant id = Bookmark();
    const int64_t own = d_->engine_.conn().LoginRow();
    if (own > 0 && !id.isNull() && static_cast<int64_t>(id.toDouble()) == own)
        RejectChange(QStringLiteral("Non è possibile eliminare la connessione in uso."), 0);
}

}  // namespace odb
