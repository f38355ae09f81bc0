// The preview's command-bar pictures, drawn at 32 x 32 and scaled by the buttons.
#include "reports/PreviewIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

QIcon drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    draw(p);
    return QIcon(pixmap);
}

void triangle(QPainter& p, QPointF a, QPointF b, QPointF c) {
    QPainterPath path(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    p.fillPath(path, QColor(40, 40, 40));
}

}  // namespace

QIcon FirstPageIcon() {
    return drawn([](QPainter& p) {
        p.fillRect(QRectF(6, 7, 4, 18), QColor(40, 40, 40));
        triangle(p, {26, 7}, {26, 25}, {11, 16});
    });
}

QIcon LastPageIcon() {
    return drawn([](QPainter& p) {
        triangle(p, {6, 7}, {6, 25}, {21, 16});
        p.fillRect(QRectF(22, 7, 4, 18), QColor(40, 40, 40));
    });
}

QIcon PrinterIcon() {
    return drawn([](QPainter& p) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));  // paper in
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));  // paper out
        p.drawLine(QPointF(12, 24), QPointF(20, 24));
    });
}

QIcon ClipboardIcon() {
    return drawn([](QPainter& p) {
        p.setBrush(QColor(190, 150, 100));
        p.drawRoundedRect(QRectF(5, 5, 22, 25), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 9, 14, 17));
        p.setBrush(QColor(120, 120, 120));
        p.drawRect(QRectF(11, 2, 10, 6));
    });
}

QIcon ExitIcon() {
    return drawn([](QPainter& p) {
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(QRectF(5, 3, 14, 26));  // door
        p.setPen(QPen(QColor(180, 30, 30), 3));
        p.drawLine(QPointF(14, 16), QPointF(29, 16));
        triangle(p, {29, 16}, {23, 10}, {23, 22});
    });
}
