// The read-only row window.
#include "odb/ui/RowWindow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "odb/DataSet.h"
#include "odb/ui/DataSetRowsModel.h"
#include "odb/ui/PanelSupport.h"

namespace odb {

RowWindow::RowWindow(std::shared_ptr<DataSet> dataSet, const QString& title, QWidget* owner)
    : QDialog(owner) {
    setWindowTitle(title);
    CloseWithConnection(*this, dataSet->GetConnection());
    model_ = new DataSetRowsModel(std::move(dataSet), this);
    grid_ = new QTableView(this);
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setAlternatingRowColors(true);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setStretchLastSection(true);
    // Columns as wide as the main grid makes them, and field names whole also in the bold of a
    // selected row's headers.
    const QFontMetrics fm = grid_->fontMetrics();
    for (int c = 0; c < model_->columnCount(); ++c)
        grid_->setColumnWidth(
            c,
            std::max(ColumnWidthFor(model_->field(c), model_->headerData(c, Qt::Horizontal).toString(), fm),
                     grid_->horizontalHeader()->sectionSizeHint(c)));
    if (model_->rowCount() > 0) grid_->selectRow(0);
    const QString count = QStringLiteral("Righe: %1").arg(model_->rowCount());
    lblCount_ = new QLabel(count, this);
    // Rows that cannot be read while another computer holds the file: said here until they are.
    connect(&model_->reads(), &PaintReads::RowsUnreadable, lblCount_, &QLabel::setText);
    connect(&model_->reads(), &PaintReads::RowsReadable, lblCount_,
            [this, count] { lblCount_->setText(count); });
    model_->reads().Watch(grid_);
    connect(&model_->reads(), &PaintReads::Retry, grid_->viewport(), qOverload<>(&QWidget::update));
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(grid_, &QTableView::doubleClicked, this, &QDialog::accept);
    auto* column = new QVBoxLayout(this);
    column->addWidget(grid_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblCount_);
    bottom->addStretch();
    bottom->addWidget(buttons_);
    column->addLayout(bottom);
    resize(720, 420);
}

int RowWindow::CurrentRow() const {
    const QModelIndex current = grid_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

}  // namespace odb
