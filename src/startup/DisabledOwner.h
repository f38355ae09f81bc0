// DisabledOwner: a window kept disabled while a modeless window works over it, the way the window
// system disables a window: the window itself reads as disabled and gets no input (mouse, keys,
// shortcuts, its close button), while its controls keep their own Enabled state and look. A dialog
// it owns is a window of its own and takes its input. Nothing
// of the window is repainted for it, where QWidget::setEnabled(false) repaints every control in its
// disabled look, and again when enabled.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class DisabledOwner : public QObject {
  public:
    DisabledOwner() = default;
    ~DisabledOwner() override;

    // Takes `owner` over (releasing the one held before) and disables it when it is enabled.
    void disable(QWidget* owner);
    // Lets the owner's input through again and clears the disabling done here; the caller then
    // gives the owner whatever Enabled state it should have.
    void release();
    QWidget* owner() const { return owner_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool reachesOwner(QObject* receiver) const;

    QPointer<QWidget> owner_;
    bool disabledHere_ = false;  // the owner's own disabled flag is this object's
};
