// DataPanel: the library's panel over one data set: its grid binding, the record and new-row
// windows, the row choosers, the read-only row window, the field chooser and the export of its rows.
#pragma once

#include <QString>

#include <memory>

#include "base/Variant.h"

class QWidget;

namespace odb {

class DataGrid;
class DataSet;
class GridLayout;
class itfProgress;

class DataPanel {
  public:
    explicit DataPanel(std::shared_ptr<DataSet> dataSet, QWidget* owner = nullptr);

    DataSet& GetDataSet() const { return *dataSet_; }
    const std::shared_ptr<DataSet>& dataSet() const { return dataSet_; }

    // Binds `grid` to the data set: the view's columns in the layout's field sequence (names the
    // table no longer has are left out), with the layout's widths. The grid follows the data set.
    void BindGrid(DataGrid& grid, const GridLayout* layout = nullptr, const VariantList& unused = {});
    // The record window on the current row; `editable` False (or the query access level) only
    // shows. The row's bookmark when something was stored, Empty otherwise.
    Variant ShowRow(bool flag = true, const QString& unused = {}, bool editable = true);
    // The new-row window: a new row started with the table's rules, stored by OK. Its bookmark,
    // Empty when nothing was stored.
    Variant NewRow(const VariantList& unused = {});
    // `pickOne` True (-1): the chooser of one row (type-ahead on `displayField`); its bookmark, the
    // data set standing on it, Empty when none was picked. False (0): the list of the rows, each
    // opened read-only in the record window; Empty.
    Variant SelectRow(int32_t flag1, int32_t flag2, int32_t pickOne, const QString& displayField = {});
    // Lets the user pick columns and their order: the view's columns, the table's other fields and
    // lookups. `fieldList` (names separated by commas; empty: the view's columns) is the starting
    // choice and receives the choice on OK. `sortable`: sortable columns only, each " ASC" or
    // " DESC" (an order text). True on OK; on Cancel `fieldList` is left as it was.
    bool ChooseFields(QString& fieldList, const QString& title, bool flag, bool sortable,
                      QWidget* owner = nullptr);
    bool ChooseFields(QString& fieldList, const QString& title, QWidget* owner = nullptr) {
        return ChooseFields(fieldList, title, false, false, owner);
    }
    // Exports the rows into an archive file (".odb") chosen with the save chooser; progress and
    // stop through `progress`. False when no file was chosen or the export was stopped (then no
    // file is left, and the stop is told); an error is raised.
    bool ExportRows(itfProgress* progress = nullptr);

    // Shows the rows in a read-only window titled `title`; on OK the data set stands on the row
    // picked and the result is True.
    bool SelectRow(const QString& title, QWidget* owner = nullptr);

  private:
    std::shared_ptr<DataSet> dataSet_;
    QWidget* owner_;
};

}  // namespace odb
