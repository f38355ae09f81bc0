// RowChooser: the rows of a data set in a grid, either to pick one (type-ahead on a display field,
// Enter or a double click picks, Esc gives up) or as a list whose rows open in the record window.
#pragma once

#include <QDialog>

#include <memory>

#include "base/Variant.h"

class QLineEdit;
class QPushButton;

namespace odb {

class DataGrid;
class DataSet;

class RowChooser : public QDialog {
    Q_OBJECT
  public:
    // `pick` True: choose one row, typing searches `displayField` (the first searchable column
    // when empty). False: the rows only, each opened read-only in the record window.
    RowChooser(std::shared_ptr<DataSet> dataSet, bool pick, const QString& displayField,
               QWidget* owner = nullptr);

    // The chosen row's bookmark (the data set stands on it); Empty when none was picked.
    Variant result() const { return result_; }
    DataGrid* grid() const { return grid_; }
    QLineEdit* search() const { return search_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdOpen() const { return cmdOpen_; }
    // Moves to the first row whose display field begins with `text`; false when none does.
    bool typeAhead(const QString& text);
    void openCurrent();

  protected:
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::shared_ptr<DataSet> dataSet_;
    bool pick_;
    QString field_;
    Variant result_;
    DataGrid* grid_ = nullptr;
    QLineEdit* search_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdOpen_ = nullptr;
};

}  // namespace odb
