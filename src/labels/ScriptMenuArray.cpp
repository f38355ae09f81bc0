// The code assistant's menu control arrays.
#include "labels/ScriptMenuArray.h"

#include <QAction>
#include <QMenu>

#include "startup/modZeltoFormUtility.h"

ScriptMenuArray::ScriptMenuArray(QMenu* menu, const QString& name, const QString& heading,
                                 std::function<void(int)> clicked)
    : menu_(menu), name_(name), clicked_(std::move(clicked)) {
    QAction* head = AddMenuArrayItem(menu_, heading, QString());
    head->setObjectName(name_);
    items_.push_back(head);
}

QAction* ScriptMenuArray::Load(const QString& caption, const QString& tag) {
    QAction* item = AddMenuArrayItem(menu_, caption, tag);
    // Appended at the menu's end: moved up to this array's end when another array follows it.
    if (end_) {
        menu_->removeAction(item);
        menu_->insertAction(end_, item);
    }
    item->setObjectName(name_);
    const int index = Count();
    items_.push_back(item);
    QObject::connect(item, &QAction::triggered, menu_, [this, index] {
        if (clicked_) clicked_(index);
    });
    return item;
}

void ScriptMenuArray::Empty() {
    while (items_.size() >= 2) {
        delete items_.back();
        items_.pop_back();
    }
}

QAction* ScriptMenuArray::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)];
}

QString ScriptMenuArray::Tag(int index) const {
    const QAction* item = Item(index);
    return item ? item->data().toString() : QString();
}

QStringList ScriptMenuArray::Captions() const {
    QStringList out;
    for (size_t i = 1; i < items_.size(); ++i)
        out << items_[i]->text();
    return out;
}
