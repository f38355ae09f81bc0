// FieldChooser: the dialog that picks the columns of a data set and their order: the fields not
// chosen on the left in table order, the chosen ones on the right in the order they will appear.
// For an order, each chosen field sorts up or down ("Campo ASC", "Campo DESC").
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <vector>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace odb {

class FieldChooser : public QDialog {
    Q_OBJECT
  public:
    struct Field {
        QString name;
        QString description;   // shown as the item's tooltip
        QString caption = {};  // shown in the lists; the name when empty
    };

    // `chosen` names fields of `fields` (unknown names are left out; for an order each may end in
    // " ASC" or " DESC"). OK needs at least one field unless `order` (no order is an order too).
    FieldChooser(std::vector<Field> fields, const QStringList& chosen, const QString& title,
                 QWidget* owner = nullptr, bool order = false);

    // The chosen fields; for an order each followed by " ASC" or " DESC".
    QStringList ChosenFields() const;
    QStringList AvailableFields() const;

    // The moves the buttons make, on the selected items (or the current one in the chosen list).
    void AddSelected();
    void RemoveSelected();
    void AddAll();
    void RemoveAll();
    void MoveUp();
    void MoveDown();
    // For an order: the current chosen field sorts the other way.
    void ToggleDirection();

    QListWidget* lstAvailable() const { return lstAvailable_; }
    QListWidget* lstChosen() const { return lstChosen_; }
    QPushButton* cmdAdd() const { return cmdAdd_; }
    QPushButton* cmdRemove() const { return cmdRemove_; }
    QPushButton* cmdAddAll() const { return cmdAddAll_; }
    QPushButton* cmdRemoveAll() const { return cmdRemoveAll_; }
    QPushButton* cmdUp() const { return cmdUp_; }
    QPushButton* cmdDown() const { return cmdDown_; }
    QPushButton* cmdDirection() const { return cmdDirection_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  private:
    QListWidgetItem* makeItem(int fieldIndex) const;
    QListWidgetItem* chosenItem(int fieldIndex, bool descending) const;
    void putBackAvailable(int fieldIndex);
    void updateButtons();

    std::vector<Field> fields_;
    bool order_ = false;
    QListWidget* lstAvailable_ = nullptr;
    QListWidget* lstChosen_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdRemove_ = nullptr;
    QPushButton* cmdAddAll_ = nullptr;
    QPushButton* cmdRemoveAll_ = nullptr;
    QPushButton* cmdUp_ = nullptr;
    QPushButton* cmdDown_ = nullptr;
    QPushButton* cmdDirection_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace odb
