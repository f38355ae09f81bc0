// ComplexFilterDialog: the conditions of a selection set (column, comparison, one or two values)
// joined by AND. For complex filters it also saves, loads and deletes filters by name; for
// predefined selections it edits the set its caller saves.
#pragma once

#include <QDialog>

#include <vector>

#include "odb/SelectionSet.h"

class QComboBox;
class QPushButton;
class QTableWidget;

namespace odb {

class ComplexFilterDialog : public QDialog {
    Q_OBJECT
  public:
    // `named`: the filters are kept by name (the name box and its buttons are shown).
    ComplexFilterDialog(SelectionSet& set, bool named, const QString& title, QWidget* owner = nullptr);

    const std::vector<SelectionSet::Condition>& conditions() const { return conditions_; }
    // Adds the condition of the editors; false, with the reason shown, when a value does not read
    // as the column's type.
    bool addCondition();
    void removeCondition();
    void saveNamed();
    void loadNamed();
    void deleteNamed();

    QComboBox* cboName() const { return cboName_; }
    QComboBox* cboField() const { return cboField_; }
    QComboBox* cboOperator() const { return cboOperator_; }
    QComboBox* txtValue() const { return txtValue_; }
    QComboBox* txtValue2() const { return txtValue2_; }
    QTableWidget* lstConditions() const { return lstConditions_; }
    QPushButton* cmdAdd() const { return cmdAdd_; }
    QPushButton* cmdRemove() const { return cmdRemove_; }
    QPushButton* cmdClear() const { return cmdClear_; }
    QPushButton* cmdLoad() const { return cmdLoad_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdDelete() const { return cmdDelete_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    // Chooses a column and a comparison in the editors, by name and operator.
    void choose(const QString& field, int32_t op);

  protected:
    void accept() override;

  private:
    void showConditions();
    void fieldChosen();
    void operatorChosen();
    void fillNames();

    SelectionSet& set_;
    bool named_;
    std::vector<SelectionSet::Condition> conditions_;
    QComboBox* cboName_ = nullptr;
    QComboBox* cboField_ = nullptr;
    QComboBox* cboOperator_ = nullptr;
    QComboBox* txtValue_ = nullptr;
    QComboBox* txtValue2_ = nullptr;
    QTableWidget* lstConditions_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdRemove_ = nullptr;
    QPushButton* cmdClear_ = nullptr;
    QPushButton* cmdLoad_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace odb
