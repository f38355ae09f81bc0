// DataGrid: the grid a data panel binds to a data set: one row per row of the data set, fixed row
// heights, values read a page at a time. Grid and data set follow each other's current row. It
// offers what the program reads of a grid (the current and selected rows' bookmarks, the current
// column, the columns' fields and widths in twips, the row height) and its events.
#pragma once

#include <QTableView>

#include <memory>
#include <optional>

#include "base/Variant.h"

namespace odb {

class DataGridModel;
class DataSet;
class GridLayout;

class DataGrid : public QTableView {
    Q_OBJECT
  public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // Shows `columns` of the data set (names the data set's view or its table knows; others are
    // left out), with the widths `layout` keeps; nullptr data set: an empty grid.
    void bind(std::shared_ptr<DataSet> dataSet, const QStringList& columns,
              const GridLayout* layout = nullptr);
    DataGridModel* gridModel() const { return model_; }
    DataSet* dataSet() const;

    // The current row's bookmark (Null when there is none); setting it moves grid and data set.
    Variant Bookmark() const;
    bool SetBookmark(const Variant& bookmark);
    // The bookmarks of the selected rows, in grid order. While the data set has read its rows again
    // and the grid has not yet taken them in, those picked before the re-read.
    VariantList SelBookmarks() const;
    void ClearSelBookmarks();
    // Picks the rows of `bookmarks` that the grid shows (the others are left out); the current
    // row stays.
    void SetSelBookmarks(const VariantList& bookmarks);
    // The current column (0-based, -1 when none) and its cell's text.
    int Col() const;
    void SetCol(int column);
    QString Text() const;
    // The selected columns (Ctrl + click on a heading); -1 when none.
    int SelStartCol() const { return selStartCol_; }
    int SelEndCol() const { return selEndCol_; }
    void ClearSelCols();
    int ColumnCount() const;
    QString DataField(int column) const;
    int ColumnWidth(int column) const;  // twips
    void SetColumnWidth(int column, int twips);
    // The height of one line, which the headings line has too, in twips.
    int RowHeight() const;
    // Many rows removed or added through the data set: the grid is not drawn and takes the rows
    // in once, at the end (the current row found again, nothing picked).
    void BeginRowWork();
    void EndRowWork();
    // True while rows are being picked on the row headings (a click or a drag there).
    bool PickingRows() const { return pickingRows_ > 0; }
    // True when the point (from the grid's top left, headings included, in pixels) lies on a
    // data cell.
    bool IsDataCell(int x, int y) const;

    // ---- internals of the row headings ----
    void setPickingRows(bool picking) { pickingRows_ += picking ? 1 : -1; }
    void rowHeadingReleased(QMouseEvent* event);

  signals:
    void HeadClick(int column);
    void ColResize(int column, int twips);
    void RowColChange(int lastRow, int lastCol);
    // `y` from the grid's top (the headings line included), in pixels.
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void DblClick();
    // The rows on screen could not be read (another computer holds the file): told once, with the
    // error's text, until rows are read again. Meanwhile the grid tries again every second.
    void RowsUnreadable(const QString& text);
    void RowsReadable();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Typing does not move to a row: the program's own type-ahead opens its search instead.
    void keyboardSearch(const QString& search) override;

  private:
    void currentMoved(const QModelIndex& current, const QModelIndex& previous);
    // Follows the data set to its current row (after it moved on its own).
    void followDataSet() const;
    void scheduleFollow();
    void headingClicked(int column, Qt::KeyboardModifiers modifiers);
    // Where the user was in the rows: the current row and the scroll bars.
    struct Place {
        int row, top, left;
    };
    void keepPlace(const Place& before);

    DataGridModel* model_ = nullptr;
    mutable bool followPending_ = false;
    mutable int syncing_ = 0;
    int resizing_ = 0;  // widths set by the program, not the user
    int selStartCol_ = -1, selEndCol_ = -1;
    int pickingRows_ = 0;
    bool rowWork_ = false;
    // The picks' bookmarks noted before the data set reads its rows again: the rows' positions
    // then name other rows until the grid takes the new rows in.
    std::optional<VariantList> picksBeforeReread_;
};

}  // namespace odb
