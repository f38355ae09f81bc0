// DataPanel: the library's panel over one data set: the windows and choices that act on its rows.
// So far the choice of the columns (and their order) that an export shows, and a read-only look
// at the rows with the choice of one.
#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace odb {

class DataSet;

class DataPanel {
  public:
    explicit DataPanel(std::shared_ptr<DataSet> dataSet);

    DataSet& GetDataSet() const { return *dataSet_; }

    // Lets the user pick the fields of the data set's table and their order. `fieldList` (names
    // separated by commas; empty: the fields shown by default) is the starting choice and, on OK,
    // receives the choice. True on OK; on Cancel `fieldList` is left as it was.
    bool ChooseFields(QString& fieldList, const QString& title, QWidget* owner = nullptr);

    // Shows the rows in a read-only window titled `title`; on OK the data set stands on the row
    // picked and the result is True.
    bool SelectRow(const QString& title, QWidget* owner = nullptr);

  private:
    std::shared_ptr<DataSet> dataSet_;
};

}  // namespace odb
