// DataGridModel: a data set's rows as a table model. The rows are the data set's own (their
// identities read once per re-read); values are read a page at a time for the rows on screen and
// shown as the library formats them. It follows the data set: re-reads, deletions, added rows.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <list>
#include <memory>
#include <vector>

#include "base/Variant.h"
#include "odb/ui/PaintReads.h"

namespace odb {

class DataSet;
struct FieldDef;

class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // `columns`: the names of the columns shown, in order (view columns or fields of the table).
    DataGridModel(std::shared_ptr<DataSet> dataSet, const QStringList& columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    DataSet& dataSet() const { return *dataSet_; }
    const std::shared_ptr<DataSet>& sharedDataSet() const { return dataSet_; }
    const QStringList& columns() const { return columns_; }
    const FieldDef& column(int index) const { return *defs_[static_cast<size_t>(index)]; }
    // The text shown in a cell, and the value behind it; a page that cannot be read raises.
    QString text(int row, int column) const;
    Variant value(int row, int column) const;
    // Forgets the pages read, so that the next paint reads the rows again.
    void forgetPages();
    // Many rows removed or added in a row: the model is reset once at the end, not told row by
    // row (a view over many rows redoes its headings at every row).
    void beginBatch();
    void endBatch();
    // The number of statements run for pages, for the benchmarks and tests.
    int pagesRead() const { return pagesRead_; }
    // The reads of painting: a page that cannot be read shows empty and is read again later.
    PaintReads& reads() const { return reads_; }

    static constexpr int kPageRows = 64;

  private:
    struct Page {
        int first = 0;
        std::vector<VariantList> values;
        std::vector<QStringList> texts;
    };
    const Page& page(int row) const;
    // The page of `row` was read and is kept.
    bool kept(int row) const;
    // The text of a cell for painting, which never raises.
    QString shownText(int row, int column) const;
    void reset();
    void rowRemoved(int position);
    void rowAppended();

    std::shared_ptr<DataSet> dataSet_;
    QStringList columns_;
    std::vector<std::shared_ptr<const FieldDef>> defs_;
    std::vector<bool> numeric_;
    int rows_ = 0;
    bool batch_ = false;
    // The pages last read, the most recent first; a few are kept for scrolling back and forth.
    mutable std::list<Page> pages_;
    mutable int pagesRead_ = 0;
    mutable PaintReads reads_;
};

}  // namespace odb
