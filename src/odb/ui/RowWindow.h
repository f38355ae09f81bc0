// RowWindow: the library's read-only window over the rows of a data set: a grid to look at them
// and, with OK, to pick one.
#pragma once

#include <QDialog>

#include <memory>

class QDialogButtonBox;
class QLabel;
class QTableView;

namespace odb {

class DataSet;
class DataSetRowsModel;

class RowWindow : public QDialog {
    Q_OBJECT
  public:
    RowWindow(std::shared_ptr<DataSet> dataSet, const QString& title, QWidget* owner = nullptr);

    // The row picked (0-based), -1 when none.
    int CurrentRow() const;

    QTableView* grid() const { return grid_; }
    DataSetRowsModel* model() const { return model_; }
    QDialogButtonBox* buttons() const { return buttons_; }

  private:
    DataSetRowsModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QLabel* lblCount_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace odb
