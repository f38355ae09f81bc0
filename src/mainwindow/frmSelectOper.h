// frmSelectOper: the small dialog that picks one row of a table by its "Nome" from a list and hands
// back the chosen name and the row's key. The login uses it to choose the user.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

#include "base/Variant.h"

class QComboBox;
class QPushButton;

class frmSelectOper : public QDialog {
    Q_OBJECT
  public:
    explicit frmSelectOper(QWidget* owner = nullptr);

    // In: the table whose rows are offered ("Operatori" when empty) and the name to preselect.
    QString m_strTableName;
    // Out: the chosen name, empty when nothing was chosen; the chosen row's key, left as it was then.
    QString m_strOperatore;
    Variant m_vntOID_Operatore;

    // Loads the rows and shows the dialog modally. The library's errors (a table that does not
    // exist) reach the caller.
    void ShowModal();

    void cmdConfirm_Click();
    void cmdCancel_Click();
    QComboBox* CmbOperatore() const { return CmbOperatore_; }
    QPushButton* cmdConfirm() const { return cmdConfirm_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  private:
    void Form_Load();

    QComboBox* CmbOperatore_ = nullptr;
    QPushButton* cmdConfirm_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    std::vector<Variant> keys_;  // the rows' keys, in the list's order
};
