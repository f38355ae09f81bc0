// A menu control array.
#include "mainwindow/MenuArray.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

MenuArray::MenuArray(QMenu* menu, const QString& caption, const QString& objectName) : menu_(menu) {
    head_ = menu->addAction(caption);
    head_->setObjectName(objectName);
    head_->setProperty("Caption", caption);
    head_->setEnabled(false);
}

QAction* MenuArray::Load(const QString& caption, const QString& tag) {
    QAction* before = nullptr;
    const QList<QAction*> actions = menu_->actions();
    const int last = static_cast<int>(actions.indexOf(items_.empty() ? head_ : items_.back()));
    if (last >= 0 && last + 1 < actions.size()) before = actions.at(last + 1);
    auto* item = new QAction(menu_);
    setCaption(item, caption);
    item->setData(tag);
    menu_->insertAction(before, item);
    items_.push_back(item);
    return item;
}

void MenuArray::UnloadAll() {
    while (!items_.empty()) {
        QAction* item = items_.back();
        items_.pop_back();
        menu_->removeAction(item);
        item->deleteLater();
    }
}

QAction* MenuArray::Item(int index) const {
    if (index == 0) return head_;
    if (index < 1 || index > static_cast<int>(items_.size())) return nullptr;
    return items_[index - 1];
}

QString MenuArray::Tag(int index) const {
    QAction* item = Item(index);
    return item ? item->data().toString() : QString();
}

int MenuArray::IndexOf(const QAction* action) const {
    if (action == head_) return 0;
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == action) return static_cast<int>(i) + 1;
    return -1;
}

QString MenuArray::Caption(int index) const {
    QAction* item = Item(index);
    return item ? item->property("Caption").toString() : QString();
}

void MenuArray::SetCaption(int index, const QString& caption) {
    if (QAction* item = Item(index)) setCaption(item, caption);
}

void MenuArray::setCaption(QAction* item, const QString& caption) const {
    item->setProperty("Caption", caption);
    item->setText(literal_ ? QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")) : caption);
}

QStringList MenuArray::Captions() const {
    QStringList captions;
    for (const QAction* item : items_)
        captions << item->property("Caption").toString();
    return captions;
}
