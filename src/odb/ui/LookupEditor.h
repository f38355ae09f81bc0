// LookupEditor: a lookup of a record window: the chosen row's display value, a button that opens
// the choice among the target's rows and one that clears the choice.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace odb {

struct ReferenceDef;

class LookupEditor : public QWidget {
    Q_OBJECT
  public:
    LookupEditor(const ReferenceDef& reference, bool editable, QWidget* parent = nullptr);

    const ReferenceDef& reference() const { return reference_; }
    void setText(const QString& text);
    QLineEdit* line() const { return line_; }
    QToolButton* choose() const { return choose_; }
    QToolButton* clear() const { return clear_; }

  signals:
    void chooseRequested(odb::LookupEditor* editor);
    void clearRequested(odb::LookupEditor* editor);

  private:
    const ReferenceDef& reference_;
    QLineEdit* line_;
    QToolButton* choose_;
    QToolButton* clear_;
};

}  // namespace odb
