// Data sets: reading again which rows belong, so that other computers' rows are seen.
#include "odb/DataSet.h"
#include "odb/Table.h"

namespace odb {

void DataSet::SyncRows(bool keepRow) {
    if (isNew_) return;
    engine_.rows().callStarts();
    if (relatedFromTable_) {
        // Rows that another computer related to the row since are found only by asking again.
        auto from = onRow(engine_, *relatedFromTable_, relatedFromOid_);
        if (from->NoCurrentRow())
            scope_.rows.clear();  // the row is gone, and its relations with it
        else
            scope_.rows = from->OpenRelated(table_.Name())->scope_.rows;
    }
    if (keepRow)
        loadKeepingRow();
    else
        load();
    emit eventSource_.OnRefreshRecordset(*this);
}

}  // namespace odb
