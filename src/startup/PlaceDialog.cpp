// Dialog placement.
#include "startup/PlaceDialog.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kTwipsPerPixel = 15;

// Names the owner on the owned window's native window as it is shown: the window manager reads the
// hint when the window appears, and either native window may have been made anew since.
class OwnerHint : public QObject {
  public:
    OwnerHint(QWidget* window, QWidget* owner) : QObject(window), owner_(owner) {
        window->installEventFilter(this);
    }
    void setOwner(QWidget* owner) { owner_ = owner; }
    void apply(QWidget* window) const {
        QWindow* handle = window->windowHandle();
        QWindow* ownerHandle = owner_ ? owner_->window()->windowHandle() : nullptr;
        if (handle && ownerHandle && handle != ownerHandle) handle->setTransientParent(ownerHandle);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) apply(static_cast<QWidget*>(watched));
        return false;
    }

  private:
    QPointer<QWidget> owner_;
};
}  // namespace

void PlaceDialog(QWidget* dialog, int32_t yTwips, int32_t xTwips) {
    dialog->adjustSize();
    QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = dialog->size();
    int x = 0, y = 0;
    if (xTwips == -1)
        x = static_cast<int>(std::lround((area.width() - size.width()) / 2.0));
    else
        x = xTwips / kTwipsPerPixel;
    if (yTwips == -1)
        y = static_cast<int>(std::lround((area.height() - size.height()) / 2.0));
    else
        y = yTwips / kTwipsPerPixel;
    dialog->move(area.x() + x, area.y() + y);
}

void CentreOnOwner(QWidget* window, const QWidget* owner) {
    if (!owner) return;
    const QWidget* ownerWindow = owner->window();
    QRect placed(QPoint(), window->size());
    placed.moveCenter(ownerWindow->frameGeometry().center());
    if (QScreen* screen = ownerWindow->screen()) {
        const QRect area = screen->availableGeometry();
        placed.moveRight(std::min(placed.right(), area.right()));
        placed.moveBottom(std::min(placed.bottom(), area.bottom()));
        placed.moveLeft(std::max(placed.left(), area.left()));
        placed.moveTop(std::max(placed.top(), area.top()));
    }
    window->move(placed.topLeft());
}

void KeepAboveOwner(QWidget* window, QWidget* owner) {
    if (!window || !owner) return;
    // The window system writes the owner hint only for windows of a dialog kind: a plain window
    // with a parent, or a transient parent, gets none and falls behind its owner at its first click.
    if (window->windowType() != Qt::Dialog)
        window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    OwnerHint* hint = nullptr;
    for (QObject* child : window->children())
        if (auto* h = dynamic_cast<OwnerHint*>(child)) hint = h;
    if (hint)
        hint->setOwner(owner);
    else
        hint = new OwnerHint(window, owner);
    if (window->isVisible()) hint->apply(window);
}
