// The row chooser and row list.
#include "odb/ui/RowChooser.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "odb/DataSet.h"
#include "odb/FieldValueText.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/WhereLiteral.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/PanelSupport.h"
#include "odb/ui/RecordWindow.h"

namespace odb {

RowChooser::RowChooser(std::shared_ptr<DataSet> dataSet, bool pick, const QString& displayField,
                       QWidget* owner)
    : QDialog(owner), dataSet_(std::move(dataSet)), pick_(pick) {
    setObjectName(pick ? QStringLiteral("RowChooser") : QStringLiteral("RowList"));
    const QString title = dataSet_->GetTable().Title();
    setWindowTitle(pick ? QStringLiteral("Selezione - ") + title : title);
    setModal(true);
    CloseWithConnection(*this, dataSet_->GetConnection());
    field_ = displayField.trimmed();
    if (field_.isEmpty())
        for (int i = 1; i <= dataSet_->FieldCount(); ++i)
            if (dataSet_->Field(i)->Searchable()) {
                field_ = dataSet_->Field(i)->name;
                break;
            }
    QStringList columns = dataSet_->ColumnNames();
    // The display field leads, so that what is typed is seen.
    if (!field_.isEmpty()) {
        columns.removeAll(field_);
        columns.prepend(field_);
    }
    grid_ = new DataGrid(this);
    grid_->bind(dataSet_, columns);
    grid_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    if (pick_ && !field_.isEmpty()) {
        auto* row = new QHBoxLayout;
        const FieldDef* f = dataSet_->Field(field_);
        row->addWidget(new QLabel(QStringLiteral("Cerca in '%1':").arg(f ? f->Caption() : field_), this));
        search_ = new QLineEdit(this);
        search_->installEventFilter(this);
        row->addWidget(search_, 1);
        layout->addLayout(row);
        connect(search_, &QLineEdit::textEdited, this, [this](const QString& text) { typeAhead(text); });
    }
    layout->addWidget(grid_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    if (pick_) {
        cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
        cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
        cmdOK_->setDefault(true);
        buttons->addWidget(cmdOK_);
        buttons->addWidget(cmdCancel_);
        connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
        connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
        connect(grid_, &DataGrid::DblClick, this, &QDialog::accept);
    } else {
        cmdOpen_ = new QPushButton(QStringLiteral("Apri"), this);
        cmdCancel_ = new QPushButton(QStringLiteral("Chiudi"), this);
        buttons->addWidget(cmdOpen_);
        buttons->addWidget(cmdCancel_);
        connect(cmdOpen_, &QPushButton::clicked, this, &RowChooser::openCurrent);
        connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
        connect(grid_, &DataGrid::DblClick, this, &RowChooser::openCurrent);
    }
    layout->addLayout(buttons);
    resize(640, 420);
    // The row the data set stands on is the one offered first.
    if (grid_->currentIndex().isValid()) grid_->selectRow(grid_->currentIndex().row());
    if (search_) search_->setFocus();
}

bool RowChooser::typeAhead(const QString& text) {
    if (field_.isEmpty()) return false;
    if (text.isEmpty()) return true;
    // Searched on a copy: when nothing matches, the current row stays.
    auto probe = dataSet_->CloneData();
    const QString condition =
        field_ + QStringLiteral(" Like ") + WhereLiteral::text(LikeLiteral(text) + QLatin1Char('*'));
    if (!probe->FindRow(condition) || !grid_->SetBookmark(probe->Bookmark())) return false;
    grid_->selectRow(grid_->currentIndex().row());
    return true;
}

void RowChooser::accept() {
    if (!pick_) return QDialog::accept();
    const Variant bookmark = grid_->Bookmark();
    if (bookmark.isEmptyOrNull()) return;  // nothing to pick
    dataSet_->FindBookmark(bookmark);
    result_ = bookmark;
    QDialog::accept();
}

void RowChooser::openCurrent() {
    const Variant bookmark = grid_->Bookmark();
    if (bookmark.isEmptyOrNull() || !dataSet_->FindBookmark(bookmark)) return;
    RecordWindow window(dataSet_, false, false, this);
    RunModal(window);
}

bool RowChooser::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (pick_)
                accept();
            else
                openCurrent();
            return true;
        }
        // Arrows in the search box move the grid.
        if (watched == search_ && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                                   key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown)) {
            QCoreApplication::sendEvent(grid_, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace odb
