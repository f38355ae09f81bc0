// frmSearchText: the dialog that asks for the text to look for in one field of the main window's
// grid. It remembers the last field and text, so that a search on the same field starts from them.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmSearchText : public QDialog {
    Q_OBJECT
  public:
    // The dialog's state, kept from one call to the next; the caller reads and writes it.
    static QString LastFieldName;   // caption of the field searched last
    static QString LastSearchText;  // text searched last
    static QString SearchText;      // confirmed in this call ("" on each load)
    static bool SearchInside;       // look inside the values, not only at their start
    static bool Confirmed;          // the result of GetSelection
    static bool SearchNext;         // go on from the current row
    // Keys typed before the dialog opened (the grid's type-ahead): typed into the box, in place of
    // its text, as soon as the dialog is up; used once.
    static QString PendingKeys;

    // Shows the dialog modally over `parentForm` for the field captioned `fieldName`; the
    // inside-search box and the next button only when enabled; `caption` replaces the title
    // ("Filtra"). True when the user confirmed.
    static bool GetSelection(QWidget* parentForm, const QString& fieldName, bool enableInternal = false,
                             bool enableNext = false, const QString& caption = {});

    void cmdOK_Click();
    void cmdNext_Click();

    QLabel* lblFieldName() const { return lblFieldName_; }
    QLineEdit* txtSearch() const { return txtSearch_; }
    QCheckBox* chkInternal() const { return chkInternal_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdNext() const { return cmdNext_; }

  protected:
    // The form sees F2, F3 and Esc before its controls.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit frmSearchText(QWidget* parent);
    void Form_Activate();
    void txtSearch_Change();
    void confirm(bool next);
    bool handleKey(int key);
    void typePendingKeys();

    QLabel* lblFieldName_ = nullptr;
    QLineEdit* txtSearch_ = nullptr;
    QCheckBox* chkInternal_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    bool keysTyped_ = false;  // the box holds typed keys: its first focus selects nothing
};
