// Data sets: reading again which rows belong, so that other computers' rows are seen.
#include "odb/DataSetPrivate.h"
#include "odb/Table.h"

namespace odb {

void DataSet::SyncRows(bool keepRow) {
    if (d_->isNew_) return;
    d_->engine_.rows().callStarts();
    if (d_->relatedFromTable_) {
        // Rows that another computer related to the row since are found only by asking again.
        auto from = onRow(d_->engine_, *d_->relatedFromTable_, d_->relatedFromOid_);
        if (from->NoCurrentRow())
            d_->scope_.rows.clear();  // the row is gone, and its relations with it
        else
            d_->scope_.rows = from->OpenRelated(d_->table_.Name())->d_->scope_.rows;
    }
    if (d_->eventSource_) emit d_->eventSource_->AboutToRefreshRecordset(*this);
    if (keepRow)
        loadKeepingRow();
    else
        load();
    if (d_->eventSource_) emit d_->eventSource_->OnRefreshRecordset(*this);
}

}  // namespace odb
