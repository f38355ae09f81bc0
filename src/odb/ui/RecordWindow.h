// RecordWindow: one row of a data set in a window, every field with the editor of its type, the
// lookups with their choice, the owned collections as lists of their rows. Each edit is written
// as the user leaves the field, so that the table's rules answer at once; OK stores the row,
// Cancel drops what was not stored. A refused edit leaves the window open on the stored value,
// the focus on the field the rule names; one refused because the file is busy keeps what was typed.
#pragma once

#include <QDialog>

#include <map>
#include <memory>
#include <vector>

#include "base/Variant.h"

class QPushButton;
class QTabWidget;

namespace odb {

class DataGrid;
class DataSet;
class FieldEditor;
class LookupEditor;
struct ReferenceDef;

class RecordWindow : public QDialog {
    Q_OBJECT
  public:
    // `isNew`: the data set stands on a new row started with NewRow. `editable` False only shows.
    RecordWindow(std::shared_ptr<DataSet> dataSet, bool isNew, bool editable, QWidget* owner = nullptr);
    ~RecordWindow() override;

    // The row's bookmark when anything was stored through the window; Empty otherwise.
    Variant result() const;

    FieldEditor* editor(const QString& field) const;
    LookupEditor* lookup(const QString& reference) const;
    // An owned collection's list: its grid and buttons.
    struct Collection {
        const ReferenceDef* reference = nullptr;
        std::shared_ptr<DataSet> rows;
        DataGrid* grid = nullptr;
        QPushButton* cmdNew = nullptr;
        QPushButton* cmdOpen = nullptr;
        QPushButton* cmdDelete = nullptr;
    };
    const Collection* collection(const QString& reference) const;
    // The field the focus was put on after the last refusal.
    const QString& focusedField() const { return focusedField_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // The actions behind the buttons.
    void chooseLookup(const QString& reference);
    void clearLookup(const QString& reference);
    void newChild(const QString& reference);
    void openChild(const QString& reference);
    void deleteChild(const QString& reference);
    // Shows the row's values again (after rules changed them).
    void refresh();

  protected:
    void accept() override;
    void reject() override;

  private:
    void fieldEdited(FieldEditor* editor);
    void refused(const QString& field);
    void errorShown(const QString& text, const QString& field);
    // Another computer held the file: the message, with what the user typed kept for OK again.
    void busyShown(const QString& text, const QString& field);
    // A new row is stored before rows join it.
    bool ensureStored();
    void loadRows(Collection& c);
    QWidget* focusTarget(const QString& field) const;

    std::shared_ptr<DataSet> dataSet_;
    bool isNew_;
    bool editable_;
    bool stored_ = false;
    bool changed_ = false;
    bool editRefused_ = false;
    bool writing_ = false;
    QString focusedField_;
    std::vector<FieldEditor*> editors_;
    std::vector<LookupEditor*> lookups_;
    std::vector<Collection> collections_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace odb
