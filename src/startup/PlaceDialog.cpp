// Dialog placement.
#include "startup/PlaceDialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kTwipsPerPixel = 15;
}

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
