// FieldEditor: the editor of one field in a record window, chosen by the field's type: a line
// for texts, numbers, dates and amounts, a box for memos, labelled choices for a value list, a
// check box for Booleans, a file chooser for file and image links, a hidden password.
#pragma once

#include <QString>
#include <QWidget>

#include "base/Variant.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace odb {

struct FieldDef;

class FieldEditor : public QWidget {
    Q_OBJECT
  public:
    FieldEditor(const FieldDef& field, bool editable, QWidget* parent = nullptr);

    const FieldDef& field() const { return field_; }
    bool editable() const { return editable_; }
    // Shows a value (the editor then counts as unchanged).
    void setValue(const Variant& value);
    // The value the user typed or chose; false, with the reason, when a text does not read as
    // the field's type.
    bool read(Variant& value, QString& problem) const;
    // Tells `edited` when the shown text was changed (a box being typed in when OK is pressed).
    void commit();
    // The widget that takes the focus.
    QWidget* input() const;
    QLineEdit* line() const { return line_; }
    QPlainTextEdit* memo() const { return memo_; }
    QComboBox* choices() const { return combo_; }
    QCheckBox* check() const { return check_; }
    QToolButton* browse() const { return browse_; }
    QToolButton* clear() const { return clear_; }
    bool isFile() const;

  signals:
    // The user left the field after changing it, or chose a value.
    void edited(odb::FieldEditor* editor);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString currentText() const;
    void chooseFile();

    const FieldDef& field_;
    bool editable_;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QComboBox* combo_ = nullptr;
    QCheckBox* check_ = nullptr;
    QToolButton* browse_ = nullptr;
    QToolButton* clear_ = nullptr;
    QString shown_;  // the text shown by setValue
    bool secretSet_ = false;
};

}  // namespace odb
