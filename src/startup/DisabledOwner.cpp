// A window disabled as the window system disables one: its own flag and its input, not its controls.
#include "startup/DisabledOwner.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace {

// A dialog the owner owns is a window of its own, as on the window system: a box that tells an
// error while the message is up must take its answer. Its menus and drop-down lists are the owner's.
bool ownWindow(const QWidget* w, const QWidget* owner) {
    return w != owner && w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip;
}

bool inside(const QWidget* widget, const QWidget* owner) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == owner) return true;
        if (ownWindow(w, owner)) return false;
    }
    return false;
}

}  // namespace

DisabledOwner::~DisabledOwner() {
    release();
}

void DisabledOwner::disable(QWidget* owner) {
    if (!owner) return;
    if (owner != owner_) {
        release();
        owner_ = owner;
        disabledHere_ = false;
        qApp->installEventFilter(this);
    }
    if (!owner->isEnabled()) return;
    // The window's own flag only: it reads as disabled, its controls keep their state and are not
    // repainted (setEnabled would disable and repaint every one of them).
    owner->setAttribute(Qt::WA_Disabled);
    disabledHere_ = true;
}

void DisabledOwner::release() {
    if (qApp) qApp->removeEventFilter(this);
    QWidget* owner = owner_;
    const bool disabledHere = disabledHere_;
    owner_ = nullptr;
    disabledHere_ = false;
    if (!owner) return;
    // The flag set here, untouched since (setEnabled sets or clears WA_ForceDisabled): cleared alike.
    if (disabledHere && owner->testAttribute(Qt::WA_Disabled) &&
        !owner->testAttribute(Qt::WA_ForceDisabled)) {
        owner->setAttribute(Qt::WA_Disabled, false);
        // Controls added meanwhile took the window's disabled state: they follow it back.
        for (QObject* child : owner->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (w && !w->isEnabled() && !w->testAttribute(Qt::WA_ForceDisabled)) w->setEnabled(true);
        }
    }
}

bool DisabledOwner::reachesOwner(QObject* receiver) const {
    if (receiver->isWidgetType()) return inside(static_cast<QWidget*>(receiver), owner_);
    if (receiver->isWindowType()) {
        // Events reach a window before its widgets: stopped there, a click moves no focus.
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == receiver) return inside(top, owner_);
        return false;
    }
    if (auto* action = qobject_cast<QAction*>(receiver)) {
        for (QObject* o : action->associatedObjects())
            if (o->isWidgetType() && inside(static_cast<QWidget*>(o), owner_)) return true;
        return false;
    }
    for (QObject* o = receiver->parent(); o; o = o->parent())  // a shortcut: its widget
        if (o->isWidgetType()) return inside(static_cast<QWidget*>(o), owner_);
    return false;
}

bool DisabledOwner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && owner_ && watched->isWidgetType()) {
        // A dialog built over the disabled owner took its disabled state from it: given back.
        auto* w = static_cast<QWidget*>(watched);
        if (ownWindow(w, owner_) && !w->isEnabled() && !w->testAttribute(Qt::WA_ForceDisabled) &&
            w->parentWidget() && inside(w->parentWidget(), owner_))
            w->setEnabled(true);
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::HoverEnter:  // nothing lights up under the pointer (a lit control may go dark)
        case QEvent::HoverMove:
            break;
        case QEvent::Close:
            if (!event->spontaneous()) return false;  // the program's own closing goes on
            break;
        default:
            return false;
    }
    if (!owner_ || !reachesOwner(watched)) return false;
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();  // the key taken by the window itself: no shortcut runs
    else
        event->ignore();  // a close refused, a click unused
    return true;
}
