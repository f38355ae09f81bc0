// ScriptMenuArray: a menu control array of the code assistant's pop-up menus: element 0 is its design
// element, a disabled heading that always stays; elements loaded at run time follow it, each with its
// tag (the text it inserts, or the name it stands for) as the action's data. Several arrays may share a
// menu: each keeps its elements between its heading and the action that ends it.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QAction;
class QMenu;

class ScriptMenuArray {
  public:
    // Adds the heading at the end of `menu`; `clicked` gets the index of the element the user chose.
    ScriptMenuArray(QMenu* menu, const QString& name, const QString& heading,
                    std::function<void(int)> clicked);
    ScriptMenuArray(const ScriptMenuArray&) = delete;
    ScriptMenuArray& operator=(const ScriptMenuArray&) = delete;

    // The array ends before `next`, an action of the same menu added after the heading.
    void EndBefore(QAction* next) { end_ = next; }
    // Loads the next element (AddMenuArrayItem): enabled exactly when its tag is not empty.
    QAction* Load(const QString& caption, const QString& tag);
    // Unloads the last element while two or more exist: the heading stays.
    void Empty();

    // Elements, the heading included.
    int Count() const { return static_cast<int>(items_.size()); }
    QAction* Item(int index) const;
    // An element's tag; empty outside the array.
    QString Tag(int index) const;
    // The captions of the loaded elements, heading excluded.
    QStringList Captions() const;
    QMenu* Menu() const { return menu_; }

  private:
    QMenu* menu_;
    QString name_;
    QAction* end_ = nullptr;
    std::vector<QAction*> items_;
    std::function<void(int)> clicked_;
};
