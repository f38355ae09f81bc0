// EventSource: what a data set tells its listeners about the work under way: its rows read again,
// a row deleted through it, rows added or put back, its current row moved.
#pragma once

#include <QObject>

namespace odb {

class DataSet;

class EventSource : public QObject {
    Q_OBJECT
  public:
    // True while the library imports rows (the rows bring their own numbers).
    bool SkipNumbering() const { return skipNumbering_ > 0; }

    // ---- library internals ----
    int skipNumbering_ = 0;

  signals:
    // Before every reading of the rows again, while the rows are still those read before.
    void AboutToRefreshRecordset(odb::DataSet& ds);
    // After every reading of the rows again (Requery, a new order, filter, where-text or field list).
    void OnRefreshRecordset(odb::DataSet& ds);
    // The row at `position` left the data set (deleted through it); the rows after it moved up.
    void RowRemoved(int position);
    // A row stored new through the data set was added at its end.
    void RowAppended();
    // Rows were put back by a rollback: positions may have changed.
    void RowsChanged();
    // The data set moved to another current row.
    void RowMoved();
};

}  // namespace odb
