// The field chooser dialog.
#include "odb/ui/FieldChooser.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace odb {

namespace {
// Each item keeps the position of its field in the table, so that a removed field goes back
// where it was.
constexpr int kFieldIndexRole = Qt::UserRole + 1;
constexpr int kDescendingRole = Qt::UserRole + 2;

int fieldIndexOf(const QListWidgetItem* item) {
    return item->data(kFieldIndexRole).toInt();
}

bool descendingOf(const QListWidgetItem* item) {
    return item->data(kDescendingRole).toBool();
}

// How a chosen field of an order shows its direction.
QString directionText(bool descending) {
    return descending ? QStringLiteral(" (decrescente)") : QStringLiteral(" (crescente)");
}

// "Campo DESC" gives "Campo" and true.
QString withoutDirection(const QString& text, bool& descending) {
    const QString t = text.trimmed();
    descending = false;
    for (const QString& suffix : {QStringLiteral(" DESC"), QStringLiteral(" ASC")})
        if (t.endsWith(suffix, Qt::CaseInsensitive)) {
            descending = suffix == QStringLiteral(" DESC");
            return t.left(t.size() - suffix.size()).trimmed();
        }
    return t;
}
}  // namespace

FieldChooser::FieldChooser(std::vector<Field> fields, const QStringList& chosen, const QString& title,
                           QWidget* owner, bool forOrder)
    : QDialog(owner), fields_(std::move(fields)), order_(forOrder) {
    setObjectName(QStringLiteral("FieldChooser"));
    setWindowTitle(title);
    setModal(true);

    lstAvailable_ = new QListWidget(this);
    lstChosen_ = new QListWidget(this);
    lstAvailable_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstChosen_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdAdd_ = new QPushButton(QStringLiteral("Aggiungi >"), this);
    cmdRemove_ = new QPushButton(QStringLiteral("< Togli"), this);
    cmdAddAll_ = new QPushButton(QStringLiteral("Tutti >>"), this);
    cmdRemoveAll_ = new QPushButton(QStringLiteral("<< Nessuno"), this);
    cmdUp_ = new QPushButton(QStringLiteral("Su"), this);
    cmdDown_ = new QPushButton(QStringLiteral("Giù"), this);
    cmdDirection_ = new QPushButton(QStringLiteral("Crescente / Decrescente"), this);
    cmdDirection_->setVisible(order_);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    cmdOK_->setDefault(true);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* b : {cmdAdd_, cmdRemove_, cmdAddAll_, cmdRemoveAll_})
        moves->addWidget(b);
    moves->addStretch();
    auto* order = new QVBoxLayout;
    order->addStretch();
    order->addWidget(cmdUp_);
    order->addWidget(cmdDown_);
    order->addWidget(cmdDirection_);
    order->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Campi disponibili:"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Campi selezionati:"), this), 0, 2);
    grid->addWidget(lstAvailable_, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(lstChosen_, 1, 2);
    grid->addLayout(order, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    std::vector<bool> taken(fields_.size(), false);
    for (const QString& given : chosen) {
        bool descending = false;
        const QString wanted = order_ ? withoutDirection(given, descending) : given.trimmed();
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (!taken[i] && fields_[i].name.compare(wanted, Qt::CaseInsensitive) == 0) {
                taken[i] = true;
                lstChosen_->addItem(chosenItem(static_cast<int>(i), descending));
                break;
            }
        }
    }
    for (size_t i = 0; i < fields_.size(); ++i)
        if (!taken[i]) lstAvailable_->addItem(makeItem(static_cast<int>(i)));

    connect(cmdAdd_, &QPushButton::clicked, this, &FieldChooser::AddSelected);
    connect(cmdRemove_, &QPushButton::clicked, this, &FieldChooser::RemoveSelected);
    connect(cmdAddAll_, &QPushButton::clicked, this, &FieldChooser::AddAll);
    connect(cmdRemoveAll_, &QPushButton::clicked, this, &FieldChooser::RemoveAll);
    connect(cmdUp_, &QPushButton::clicked, this, &FieldChooser::MoveUp);
    connect(cmdDown_, &QPushButton::clicked, this, &FieldChooser::MoveDown);
    connect(cmdDirection_, &QPushButton::clicked, this, &FieldChooser::ToggleDirection);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstAvailable_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        lstAvailable_->clearSelection();
        item->setSelected(true);
        AddSelected();
    });
    connect(lstChosen_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        lstChosen_->clearSelection();
        item->setSelected(true);
        RemoveSelected();
    });
    connect(lstAvailable_, &QListWidget::itemSelectionChanged, this, &FieldChooser::updateButtons);
    connect(lstChosen_, &QListWidget::itemSelectionChanged, this, &FieldChooser::updateButtons);
    connect(lstChosen_, &QListWidget::currentRowChanged, this, &FieldChooser::updateButtons);
    updateButtons();
}

QListWidgetItem* FieldChooser::chosenItem(int fieldIndex, bool descending) const {
    QListWidgetItem* item = makeItem(fieldIndex);
    item->setData(kDescendingRole, descending);
    if (order_) item->setText(item->text() + directionText(descending));
    return item;
}

QListWidgetItem* FieldChooser::makeItem(int fieldIndex) const {
    const Field& f = fields_[static_cast<size_t>(fieldIndex)];
    auto* item = new QListWidgetItem(f.caption.isEmpty() ? f.name : f.caption);
    item->setData(kFieldIndexRole, fieldIndex);
    if (!f.description.isEmpty()) item->setToolTip(f.description);
    return item;
}

QStringList FieldChooser::ChosenFields() const {
    QStringList out;
    for (int i = 0; i < lstChosen_->count(); ++i) {
        const QListWidgetItem* item = lstChosen_->item(i);
        const QString& name = fields_[static_cast<size_t>(fieldIndexOf(item))].name;
        out << (order_ ? name + (descendingOf(item) ? QStringLiteral(" DESC") : QStringLiteral(" ASC"))
                       : name);
    }
    return out;
}

QStringList FieldChooser::AvailableFields() const {
    QStringList out;
    for (int i = 0; i < lstAvailable_->count(); ++i)
        out << fields_[static_cast<size_t>(fieldIndexOf(lstAvailable_->item(i)))].name;
    return out;
}

void FieldChooser::putBackAvailable(int fieldIndex) {
    int row = 0;
    while (row < lstAvailable_->count() && fieldIndexOf(lstAvailable_->item(row)) < fieldIndex)
        ++row;
    lstAvailable_->insertItem(row, makeItem(fieldIndex));
}

void FieldChooser::AddSelected() {
    // Appended in the order of the available list, whatever the order they were selected in.
    for (int row = 0; row < lstAvailable_->count();) {
        QListWidgetItem* item = lstAvailable_->item(row);
        if (!item->isSelected()) {
            ++row;
            continue;
        }
        const int index = fieldIndexOf(item);
        delete lstAvailable_->takeItem(row);
        lstChosen_->addItem(chosenItem(index, false));
    }
    updateButtons();
}

void FieldChooser::RemoveSelected() {
    for (int row = 0; row < lstChosen_->count();) {
        QListWidgetItem* item = lstChosen_->item(row);
        if (!item->isSelected()) {
            ++row;
            continue;
        }
        const int index = fieldIndexOf(item);
        delete lstChosen_->takeItem(row);
        putBackAvailable(index);
    }
    updateButtons();
}

void FieldChooser::AddAll() {
    while (lstAvailable_->count() > 0) {
        const int index = fieldIndexOf(lstAvailable_->item(0));
        delete lstAvailable_->takeItem(0);
        lstChosen_->addItem(chosenItem(index, false));
    }
    updateButtons();
}

void FieldChooser::RemoveAll() {
    while (lstChosen_->count() > 0) {
        const int index = fieldIndexOf(lstChosen_->item(0));
        delete lstChosen_->takeItem(0);
        putBackAvailable(index);
    }
    updateButtons();
}

void FieldChooser::MoveUp() {
    const int row = lstChosen_->currentRow();
    if (row <= 0) return;
    QListWidgetItem* item = lstChosen_->takeItem(row);
    lstChosen_->insertItem(row - 1, item);
    lstChosen_->clearSelection();
    lstChosen_->setCurrentItem(item);
    updateButtons();
}

void FieldChooser::MoveDown() {
    const int row = lstChosen_->currentRow();
    if (row < 0 || row + 1 >= lstChosen_->count()) return;
    QListWidgetItem* item = lstChosen_->takeItem(row);
    lstChosen_->insertItem(row + 1, item);
    lstChosen_->clearSelection();
    lstChosen_->setCurrentItem(item);
    updateButtons();
}

void FieldChooser::ToggleDirection() {
    QListWidgetItem* item = lstChosen_->currentItem();
    if (!order_ || !item) return;
    const int index = fieldIndexOf(item);
    const bool descending = !descendingOf(item);
    item->setData(kDescendingRole, descending);
    const Field& f = fields_[static_cast<size_t>(index)];
    item->setText((f.caption.isEmpty() ? f.name : f.caption) + directionText(descending));
}

void FieldChooser::updateButtons() {
    const int row = lstChosen_->currentRow();
    cmdAdd_->setEnabled(!lstAvailable_->selectedItems().isEmpty());
    cmdRemove_->setEnabled(!lstChosen_->selectedItems().isEmpty());
    cmdAddAll_->setEnabled(lstAvailable_->count() > 0);
    cmdRemoveAll_->setEnabled(lstChosen_->count() > 0);
    cmdUp_->setEnabled(row > 0);
    cmdDown_->setEnabled(row >= 0 && row + 1 < lstChosen_->count());
    cmdDirection_->setEnabled(row >= 0);
    // An export without columns has nothing to show; no order is an order.
    cmdOK_->setEnabled(order_ || lstChosen_->count() > 0);
}

}  // namespace odb
