// MenuArray: a menu control array of the main window: element 0 is its fixed head (a disabled
// caption), the elements loaded at run time follow it in the menu, each with its Tag (a field name
// or a number) kept as the action's data.
#pragma once

#include <QString>

#include <vector>

class QAction;
class QMenu;

class MenuArray {
  public:
    // Adds the head with `caption` at the end of `menu`.
    MenuArray(QMenu* menu, const QString& caption, const QString& objectName);

    QAction* head() const { return head_; }
    // Captions shown as they are: an "&" is not taken as the access key (texts the user typed).
    void SetLiteralCaptions(bool literal) { literal_ = literal; }
    // Loads a new element after the last one; its index is the new Count() - 1.
    QAction* Load(const QString& caption, const QString& tag);
    // An element's caption, as set (not as the menu shows an access key).
    QString Caption(int index) const;
    void SetCaption(int index, const QString& caption);
    // Unloads every element above the head, the last first.
    void UnloadAll();
    // Elements, the head included.
    int Count() const { return static_cast<int>(items_.size()) + 1; }
    // Element `index` (0: the head); nullptr outside the array.
    QAction* Item(int index) const;
    QString Tag(int index) const;
    // The index of an element; -1 when it is none of them.
    int IndexOf(const QAction* action) const;
    QStringList Captions() const;  // of the loaded elements, in order

  private:
    void setCaption(QAction* item, const QString& caption) const;

    QMenu* menu_;
    bool literal_ = false;
    QAction* head_;
    std::vector<QAction*> items_;
};
