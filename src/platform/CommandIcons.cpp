// The command-button pictures, drawn at 32 x 32 and scaled by the buttons.
#include "platform/CommandIcons.h"

#include <QPainter>
#include <QPixmap>

#include <functional>

namespace {

const QColor kInk(40, 40, 40);

QIcon drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 2));
    draw(p);
    return QIcon(pixmap);
}

}  // namespace

QIcon SearchIcon() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(kInk, 3));
        p.setBrush(QColor(210, 230, 250));
        p.drawEllipse(QPointF(13, 13), 8, 8);
        p.setPen(QPen(kInk, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(27, 27));
    });
}

QIcon DeleteIcon() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(190, 30, 30), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
    });
}

QIcon PrinterSetupIcon() {
    return drawn([](QPainter& p) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));  // paper in
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));  // paper out
        p.setBrush(QColor(60, 160, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(25, 16), 2, 2);  // the ready lamp
    });
}
