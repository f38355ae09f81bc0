// The data grid.
#include "odb/ui/DataGrid.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <unordered_set>

#include "odb/DataSet.h"
#include "odb/GridLayout.h"
#include "odb/Schema.h"
#include "odb/ui/DataGridModel.h"
#include "odb/ui/PanelSupport.h"

namespace odb {

namespace {

// The row headings: a click or a drag there picks rows (the grid keeps them picked); the right
// button's release reaches the grid's MouseUp. The current row, the one the commands act on, is
// marked on its heading whether or not it is picked.
class RowHeadings : public QHeaderView {
  public:
    explicit RowHeadings(DataGrid* grid) : QHeaderView(Qt::Vertical, grid), grid_(grid) {
        setSectionsClickable(true);
        setHighlightSections(true);
    }

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (logicalIndex != grid_->currentIndex().row()) return;
        const int side = std::max(4, std::min(rect.width(), rect.height()) / 3);
        const QPointF middle = QRectF(rect).center();
        const QPointF arrow[3] = {middle + QPointF(-side / 2.0, -side / 2.0),
                                  middle + QPointF(-side / 2.0, side / 2.0), middle + QPointF(side / 2.0, 0)};
        painter->save();
        painter->setClipRect(rect);  // the style's heading leaves a clip of its own behind
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::ButtonText));
        painter->drawPolygon(arrow, 3);
        painter->restore();
    }
    void mousePressEvent(QMouseEvent* event) override {
        grid_->setPickingRows(true);
        QHeaderView::mousePressEvent(event);
        grid_->setPickingRows(false);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        grid_->setPickingRows(true);
        QHeaderView::mouseMoveEvent(event);
        grid_->setPickingRows(false);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        grid_->setPickingRows(true);
        QHeaderView::mouseReleaseEvent(event);
        grid_->setPickingRows(false);
        grid_->rowHeadingReleased(event);
    }

  private:
    DataGrid* grid_;
};

}  // namespace

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new RowHeadings(this));
    setObjectName(QStringLiteral("DataGrid"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Fixed row heights: a grid of any length lays out without measuring its rows.
    const int line = fontMetrics().height() + 8;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(line);
    verticalHeader()->setDefaultSectionSize(line);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setFixedHeight(line);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (resizing_ == 0) emit ColResize(column, TwipsFromPixels(size, this));
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { headingClicked(column, QGuiApplication::keyboardModifiers()); });
}

DataGrid::~DataGrid() = default;

DataSet* DataGrid::dataSet() const {
    return model_ ? &model_->dataSet() : nullptr;
}

void DataGrid::bind(std::shared_ptr<DataSet> dataSet, const QStringList& columns, const GridLayout* layout) {
    DataGridModel* old = model_;
    // A re-read of the rows shown (the window's activation, a new row) keeps the user's place.
    const bool reread = old && dataSet && &old->dataSet() == dataSet.get();
    const Place place{currentIndex().row(), verticalScrollBar()->value(), horizontalScrollBar()->value()};
    QItemSelectionModel* oldSelection = selectionModel();
    model_ = dataSet ? new DataGridModel(dataSet, columns, this) : nullptr;
    setModel(model_);
    picksBeforeReread_.reset();
    const bool unreadable = old && old->reads().Unreadable();
    if (model_ && unreadable) model_->reads().TakeOver(old->reads());
    delete oldSelection;
    delete old;
    selStartCol_ = selEndCol_ = -1;
    if (!model_) {
        if (unreadable) emit RowsReadable();  // nothing left to read
        return;
    }
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGrid::currentMoved);
    model_->reads().Watch(this);
    connect(&model_->reads(), &PaintReads::Retry, viewport(), qOverload<>(&QWidget::update));
    connect(&model_->reads(), &PaintReads::RowsUnreadable, this, &DataGrid::RowsUnreadable);
    connect(&model_->reads(), &PaintReads::RowsReadable, this, &DataGrid::RowsReadable);
    connect(&dataSet->EventSource(), &EventSource::RowMoved, model_, [this] { scheduleFollow(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        picksBeforeReread_.reset();
        followDataSet();
    });
    connect(&dataSet->EventSource(), &EventSource::AboutToRefreshRecordset, model_,
            [this] { picksBeforeReread_ = SelBookmarks(); });
    // A re-read that failed left the rows as they were: the user's next pick counts.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { picksBeforeReread_.reset(); });
    ++resizing_;
    const QFontMetrics fm = fontMetrics();
    for (int c = 0; c < model_->columnCount(); ++c) {
        const FieldDef& f = model_->column(c);
        const int kept = layout ? layout->ColumnWidth(f.name) : -1;
        setColumnWidth(c, kept > 0 ? PixelsFromTwips(kept, this)
                                   : ColumnWidthFor(f, model_->headerData(c, Qt::Horizontal).toString(), fm));
    }
    --resizing_;
    followDataSet();
    if (reread) keepPlace(place);
}

void DataGrid::keepPlace(const Place& before) {
    // The new model's rows and columns measured before the scroll bars are set.
    executeDelayedItemsLayout();
    horizontalScrollBar()->setValue(before.left);
    // The current row where it was on the screen, even out of sight; a row that became current
    // (a new one) is shown.
    const int row = currentIndex().row();
    const int moved = row >= 0 && before.row >= 0 ? row - before.row : 0;
    const int step = verticalScrollMode() == ScrollPerItem ? 1 : rowHeight(row);
    verticalScrollBar()->setValue(before.top + moved * step);
    if (moved != 0) scrollTo(currentIndex());
}

void DataGrid::currentMoved(const QModelIndex& current, const QModelIndex& previous) {
    verticalHeader()->viewport()->update();  // the mark of the current row moves
    if (syncing_ == 0 && current.isValid() && current.row() != previous.row())
        model_->dataSet().MoveToPosition(current.row());
    if (syncing_ == 0 && selStartCol_ >= 0) ClearSelCols();
    emit RowColChange(previous.row(), previous.column());
}

void DataGrid::scheduleFollow() {
    if (followPending_) return;
    followPending_ = true;
    // Moves in a loop reach the grid once, when the loop lets the window run.
    QTimer::singleShot(0, this, [this] {
        if (followPending_) followDataSet();
    });
}

void DataGrid::followDataSet() const {
    followPending_ = false;
    if (!model_) return;
    auto* self = const_cast<DataGrid*>(this);
    DataSet& ds = model_->dataSet();
    const int pos = ds.AbsolutePosition();
    const QModelIndex cur = currentIndex();
    if (pos < 0 || pos >= model_->rowCount() || (cur.isValid() && cur.row() == pos)) return;
    ++syncing_;
    // The caller's selection stays: the move is the data set's, not the user's.
    ds.SetSelectionHeld(true);
    const QModelIndex next = model_->index(pos, std::max(cur.column(), 0));
    self->selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    self->scrollTo(next);
    ds.SetSelectionHeld(false);
    --syncing_;
}

Variant DataGrid::Bookmark() const {
    if (!model_) return Variant::null();
    if (followPending_) followDataSet();
    const int row = currentIndex().row();
    if (row < 0) return Variant::null();
    return model_->dataSet().BookmarkAt(row);
}

bool DataGrid::SetBookmark(const Variant& bookmark) {
    if (!model_ || !model_->dataSet().FindBookmark(bookmark)) return false;
    followDataSet();
    return true;
}

VariantList DataGrid::SelBookmarks() const {
    VariantList out;
    if (!model_) return out;
    if (picksBeforeReread_) return *picksBeforeReread_;
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& r : rows)
        out.push_back(model_->dataSet().BookmarkAt(r.row()));
    return out;
}

void DataGrid::SetSelBookmarks(const VariantList& bookmarks) {
    if (!model_ || bookmarks.empty()) return;
    std::unordered_set<int64_t> wanted;
    for (const Variant& b : bookmarks)
        if (!b.isEmptyOrNull()) wanted.insert(static_cast<int64_t>(b.toDouble()));
    QItemSelection rows;
    const DataSet& ds = model_->dataSet();
    const int last = model_->columnCount() - 1;
    // The current row alone (the row a search found) needs no walk over the rows.
    const int current = currentIndex().row();
    if (wanted.size() == 1 && current >= 0 && ds.BookmarkAt(current).toDouble() == double(*wanted.begin())) {
        rows.select(model_->index(current, 0), model_->index(current, last));
        selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
        return;
    }
    for (int r = 0; r < model_->rowCount() && !wanted.empty(); ++r) {
        const Variant b = ds.BookmarkAt(r);
        if (b.isNull() || wanted.erase(static_cast<int64_t>(b.toDouble())) == 0) continue;
        // Neighbouring rows make one range: the selection's reads go range by range, and every row
        // of a grid picked whole would otherwise be as many ranges.
        if (!rows.isEmpty() && rows.last().bottom() == r - 1)
            rows.last() = QItemSelectionRange(rows.last().topLeft(), model_->index(r, last));
        else
            rows.select(model_->index(r, 0), model_->index(r, last));
    }
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

void DataGrid::ClearSelBookmarks() {
    if (selectionModel()) selectionModel()->clearSelection();
    selStartCol_ = selEndCol_ = -1;
}

int DataGrid::Col() const {
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

void DataGrid::SetCol(int column) {
    if (!model_ || column < 0 || column >= model_->columnCount()) return;
    const int row = std::max(currentIndex().row(), 0);
    if (model_->rowCount() == 0) return;
    selectionModel()->setCurrentIndex(model_->index(row, column), QItemSelectionModel::NoUpdate);
}

QString DataGrid::Text() const {
    if (!model_) return {};
    if (followPending_) followDataSet();
    return model_->text(currentIndex().row(), currentIndex().column());
}

void DataGrid::headingClicked(int column, Qt::KeyboardModifiers modifiers) {
    if (!model_) return;
    if (!(modifiers & (Qt::ControlModifier | Qt::ShiftModifier))) {
        emit HeadClick(column);
        return;
    }
    // Ctrl or Shift on a heading selects columns instead of sorting.
    if (selStartCol_ < 0 || !(modifiers & Qt::ShiftModifier)) selStartCol_ = selEndCol_ = column;
    selStartCol_ = std::min(selStartCol_, column);
    selEndCol_ = std::max(selEndCol_, column);
    if (model_->rowCount() == 0) return;
    const QItemSelection columns(model_->index(0, selStartCol_),
                                 model_->index(model_->rowCount() - 1, selEndCol_));
    selectionModel()->select(columns, QItemSelectionModel::ClearAndSelect);
}

void DataGrid::ClearSelCols() {
    if (selStartCol_ >= 0 && model_ && selectionModel()) selectionModel()->clearSelection();
    selStartCol_ = selEndCol_ = -1;
}

int DataGrid::ColumnCount() const {
    return model_ ? model_->columnCount() : 0;
}

QString DataGrid::DataField(int column) const {
    return model_ ? model_->columns().value(column) : QString();
}

int DataGrid::ColumnWidth(int column) const {
    return TwipsFromPixels(columnWidth(column), this);
}

void DataGrid::SetColumnWidth(int column, int twips) {
    ++resizing_;
    setColumnWidth(column, PixelsFromTwips(twips, this));
    --resizing_;
}

int DataGrid::RowHeight() const {
    return TwipsFromPixels(verticalHeader()->defaultSectionSize(), this);
}

void DataGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QPoint p = viewport()->mapTo(this, event->position().toPoint());
    emit MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) emit DblClick();
}

void DataGrid::mousePressEvent(QMouseEvent* event) {
    // A right click makes its cell current, so that the functions on the current column find it.
    if (event->button() == Qt::RightButton) {
        const QModelIndex at = indexAt(event->position().toPoint());
        if (at.isValid() && at != currentIndex())
            selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        return;
    }
    QTableView::mousePressEvent(event);
}

bool DataGrid::IsDataCell(int x, int y) const {
    const QPoint at = viewport()->mapFrom(this, QPoint(x, y));
    return viewport()->rect().contains(at) && indexAt(at).isValid();
}

void DataGrid::rowHeadingReleased(QMouseEvent* event) {
    const QPoint p = verticalHeader()->viewport()->mapTo(this, event->position().toPoint());
    emit MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void DataGrid::keyboardSearch(const QString&) {}

void DataGrid::BeginRowWork() {
    if (rowWork_ || !model_) return;
    rowWork_ = true;
    setUpdatesEnabled(false);
    model_->beginBatch();
}

void DataGrid::EndRowWork() {
    if (!rowWork_) return;
    rowWork_ = false;
    if (model_) model_->endBatch();
    setUpdatesEnabled(true);
    followDataSet();
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint p = horizontalHeader()->viewport()->mapTo(this, e->position().toPoint());
        emit MouseUp(e->button(), e->modifiers(), p.x(), p.y());
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace odb
