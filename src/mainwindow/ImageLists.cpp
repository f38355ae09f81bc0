// The main window's drawn pictures. Each is drawn on a 16 x 16 grid scaled to the size asked for.
#include "mainwindow/ImageLists.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

const QColor kOutline(60, 60, 60);

QPixmap paint(int size, const Draw& draw) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(kOutline, 0.8));
    draw(p);
    return pix;
}

QIcon icon(const Draw& draw) {
    QIcon i;
    for (int size : {16, 24, 32})
        i.addPixmap(paint(size, draw));
    return i;
}

void person(QPainter& p, double x, double y, double scale, const QColor& colour) {
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(QRectF(x + 2.5 * scale, y, 4 * scale, 4 * scale));
    p.setBrush(colour);
    QPainterPath body;
    body.moveTo(x, y + 10 * scale);
    body.cubicTo(x, y + 5 * scale, x + 9 * scale, y + 5 * scale, x + 9 * scale, y + 10 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

void page(QPainter& p, const QColor& paper = QColor(255, 255, 255)) {
    p.setBrush(paper);
    QPolygonF sheet({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF({{10, 1}, {10, 4}, {13, 4}}));
}

void lines(QPainter& p, double left, double right, double top, int count) {
    p.save();
    p.setPen(QPen(QColor(110, 130, 170), 0.8));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * 2), QPointF(right, top + i * 2));
    p.restore();
}

void gear(QPainter& p, QPointF c, double r, const QColor& colour) {
    p.setBrush(colour);
    QPainterPath path;
    for (int i = 0; i < 16; ++i) {
        const double a = i * 3.14159265 / 8;
        const double radius = i % 2 == 0 ? r : r * 0.72;
        const QPointF pt(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    path.addEllipse(c, r * 0.3, r * 0.3);
    p.drawPath(path);
}

void box(QPainter& p) {
    p.setBrush(QColor(205, 160, 100));
    p.drawPolygon(QPolygonF({{2, 6}, {8, 8}, {8, 15}, {2, 13}}));
    p.setBrush(QColor(185, 140, 80));
    p.drawPolygon(QPolygonF({{8, 8}, {14, 6}, {14, 13}, {8, 15}}));
    p.setBrush(QColor(225, 185, 125));
    p.drawPolygon(QPolygonF({{2, 6}, {8, 4}, {14, 6}, {8, 8}}));
}

void printer(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1, 8, 6));
    p.setBrush(QColor(170, 170, 180));
    p.drawRoundedRect(QRectF(1, 6, 14, 6), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10, 8, 5));
    lines(p, 5, 11, 12, 2);
    p.setBrush(QColor(60, 180, 60));
    p.drawEllipse(QRectF(12, 7.5, 1.5, 1.5));
}

void arrow(QPainter& p, double x, double top, double bottom, const QColor& colour) {
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({{x - 1, top},
                             {x + 1, top},
                             {x + 1, bottom - 3},
                             {x + 3, bottom - 3},
                             {x, bottom},
                             {x - 3, bottom - 3},
                             {x - 1, bottom - 3}}));
}

const QHash<QString, Draw>& treeDrawings() {
    static const QHash<QString, Draw> d = {
        {"Load",
         [](QPainter& p) {  // a clipboard of orders
             p.setBrush(QColor(190, 140, 80));
             p.drawRoundedRect(QRectF(2.5, 2, 11, 13.5), 1, 1);
             p.setBrush(Qt::white);
             p.drawRect(QRectF(4, 4, 8, 10));
             p.setBrush(QColor(150, 150, 160));
             p.drawRoundedRect(QRectF(5.5, 1, 5, 3), 1, 1);
             lines(p, 5, 11, 6.5, 4);
         }},
        {"Help",
         [](QPainter& p) {  // a wrench
             p.setBrush(QColor(150, 160, 175));
             QPainterPath w;
             w.addEllipse(QPointF(11, 5), 4, 4);
             QPainterPath handle;
             handle.moveTo(9, 6);
             handle.lineTo(2, 13);
             handle.lineTo(3.5, 14.5);
             handle.lineTo(10.5, 7.5);
             w = w.united(handle);
             QPainterPath jaw;
             jaw.addRect(QRectF(10, 0, 6, 4));
             jaw.translate(0.5, 0);
             p.drawPath(w.subtracted(jaw));
         }},
        {"Report", [](QPainter& p) { printer(p); }},
        {"ProductionElement",
         [](QPainter& p) {
             gear(p, {8, 8}, 6.5, QColor(120, 150, 200));
         }},
        {"ReportElement",
         [](QPainter& p) {
             page(p);
             lines(p, 5, 11, 6, 4);
         }},
        {"Operation",
         [](QPainter& p) {  // a hammer
             p.setBrush(QColor(160, 110, 60));
             p.drawPolygon(QPolygonF({{3, 14.5}, {1.5, 13}, {8.5, 6}, {10, 7.5}}));
             p.setBrush(QColor(120, 120, 130));
             p.drawPolygon(QPolygonF({{6, 4}, {9.5, 0.5}, {15.5, 6.5}, {12, 10}}));
         }},
        {"OperationElement",
         [](QPainter& p) {
             p.setBrush(QColor(80, 160, 80));
             p.drawPolygon(QPolygonF({{4, 2}, {13, 8}, {4, 14}}));
         }},
        {"Anagrafic",
         [](QPainter& p) {  // an address book with tabs
             p.setBrush(QColor(70, 110, 170));
             p.drawRoundedRect(QRectF(2, 1, 10, 14), 1, 1);
             p.setBrush(QColor(230, 90, 70));
             p.drawRect(QRectF(12, 3, 2, 2.5));
             p.setBrush(QColor(240, 200, 60));
             p.drawRect(QRectF(12, 6.5, 2, 2.5));
             p.setBrush(QColor(90, 180, 90));
             p.drawRect(QRectF(12, 10, 2, 2.5));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(4, 4, 6, 3));
         }},
        {"Article", [](QPainter& p) { box(p); }},
        {"User",
         [](QPainter& p) {  // a person and a key
             person(p, 0.5, 1, 1.2, QColor(90, 120, 170));
             p.setBrush(QColor(230, 190, 40));
             p.drawEllipse(QRectF(9.5, 8.5, 4, 4));
             p.drawRect(QRectF(11, 12.5, 1.2, 3));
             p.drawRect(QRectF(12.2, 14, 1.6, 1));
         }},
        {"AnagraficPerson", [](QPainter& p) { person(p, 2, 1.5, 1.35, QColor(80, 140, 90)); }},
        {"Client",
         [](QPainter& p) {  // two people
             person(p, 6, 1, 1.05, QColor(120, 150, 200));
             person(p, 0.5, 4, 1.1, QColor(60, 90, 160));
         }},
        {"Production",
         [](QPainter& p) {  // a factory
             p.setBrush(QColor(170, 80, 60));
             p.drawRect(QRectF(11, 1, 2.5, 7));
             p.setBrush(QColor(200, 110, 80));
             p.drawPolygon(
                 QPolygonF({{1, 15}, {1, 7}, {5, 9.5}, {5, 7}, {9, 9.5}, {9, 7}, {15, 9.5}, {15, 15}}));
             p.setBrush(QColor(250, 230, 130));
             for (double x : {3.0, 7.0, 11.0})
                 p.drawRect(QRectF(x, 11, 2, 2));
         }},
        {"ProductLoad",
         [](QPainter& p) {
             box(p);
             arrow(p, 8, 0, 7, QColor(60, 150, 60));
         }},
        {"Archive",
         [](QPainter& p) {  // a filing cabinet
             p.setBrush(QColor(150, 160, 170));
             p.drawRect(QRectF(3, 1, 10, 14));
             p.setBrush(QColor(185, 195, 205));
             p.drawRect(QRectF(4, 2.5, 8, 5));
             p.drawRect(QRectF(4, 8.5, 8, 5));
             p.setBrush(kOutline);
             p.drawRect(QRectF(7, 4.5, 2, 0.8));
             p.drawRect(QRectF(7, 10.5, 2, 0.8));
         }},
        {"AccessControl",
         [](QPainter& p) {  // a clock
             p.setBrush(Qt::white);
             p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
             p.setPen(QPen(QColor(180, 40, 40), 1.3));
             p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
             p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
         }},
    };
    return d;
}

const QHash<QString, Draw>& toolbarDrawings() {
    static const QHash<QString, Draw> d = {
        {"New",
         [](QPainter& p) {
             page(p);
             p.setBrush(QColor(240, 200, 40));
             p.drawEllipse(QRectF(8.5, 8.5, 6, 6));
         }},
        {"Edit",
         [](QPainter& p) {
             page(p);
             lines(p, 5, 10, 6, 3);
             p.setBrush(QColor(240, 190, 60));
             p.drawPolygon(QPolygonF({{7, 15}, {7.5, 12.5}, {14, 6}, {16, 8}, {9.5, 14.5}}));
         }},
        {"Delete",
         [](QPainter& p) {
             p.setPen(QPen(QColor(200, 40, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(3, 3), QPointF(13, 13));
             p.drawLine(QPointF(13, 3), QPointF(3, 13));
         }},
        {"Filter",
         [](QPainter& p) {
             p.setBrush(QColor(90, 140, 210));
             p.drawPolygon(QPolygonF({{1, 2}, {15, 2}, {9.5, 8.5}, {9.5, 14}, {6.5, 15}, {6.5, 8.5}}));
         }},
        {"Find",
         [](QPainter& p) {
             p.setBrush(QColor(200, 225, 250));
             p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
             p.setPen(QPen(QColor(90, 70, 50), 2.4, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
         }},
        {"Refresh",
         [](QPainter& p) {
             p.setPen(QPen(QColor(40, 140, 60), 1.8));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 270 * 16);
             p.setPen(QPen(QColor(40, 140, 60), 0.8));
             p.setBrush(QColor(40, 140, 60));
             p.drawPolygon(QPolygonF({{10, 1}, {15, 4.5}, {10, 7.5}}));
         }},
        {"Print", [](QPainter& p) { printer(p); }},
        {"Control",
         [](QPainter& p) {  // a gauge
             p.setBrush(QColor(235, 235, 240));
             p.drawEllipse(QRectF(1, 3, 14, 14));
             p.setBrush(QColor(80, 170, 80));
             p.drawPie(QRectF(2.5, 4.5, 11, 11), 90 * 16, 90 * 16);
             p.setBrush(QColor(230, 180, 40));
             p.drawPie(QRectF(2.5, 4.5, 11, 11), 45 * 16, 45 * 16);
             p.setBrush(QColor(210, 60, 50));
             p.drawPie(QRectF(2.5, 4.5, 11, 11), 0, 45 * 16);
             p.setPen(QPen(kOutline, 1.4, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(8, 10), QPointF(11.5, 6.5));
         }},
        {"Memo",
         [](QPainter& p) {  // a note with a pin
             p.setBrush(QColor(255, 240, 140));
             p.drawRect(QRectF(2, 3, 12, 12));
             lines(p, 4, 12, 7, 4);
             p.setBrush(QColor(210, 50, 50));
             p.drawEllipse(QRectF(6.5, 1, 3, 3));
         }},
        {"SendMail",
         [](QPainter& p) {
             p.setBrush(QColor(250, 250, 240));
             p.drawRect(QRectF(1, 3.5, 14, 10));
             p.drawPolyline(QPolygonF({{1, 3.5}, {8, 9.5}, {15, 3.5}}));
         }},
    };
    return d;
}

}  // namespace

QPixmap TreeImage(const QString& key, int size) {
    const auto it = treeDrawings().find(key);
    if (it == treeDrawings().end()) return {};
    return paint(size, it.value());
}

QIcon TreeIcon(const QString& key) {
    const auto it = treeDrawings().find(key);
    if (it == treeDrawings().end()) return {};
    return icon(it.value());
}

QIcon ToolbarIcon(const QString& key) {
    const auto it = toolbarDrawings().find(key);
    if (it == toolbarDrawings().end()) return {};
    return icon(it.value());
}

QIcon HideTreeIcon(bool pointsLeft) {
    return icon([pointsLeft](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 30));
        if (pointsLeft)
            p.drawPolygon(QPolygonF({{11, 3}, {11, 13}, {4, 8}}));
        else
            p.drawPolygon(QPolygonF({{5, 3}, {5, 13}, {12, 8}}));
    });
}

QIcon ApplicationIcon() {
    return icon([](QPainter& p) {
        gear(p, {8, 8}, 7.5, QColor(40, 90, 160));
        p.setBrush(QColor(240, 190, 40));
        p.drawEllipse(QPointF(8, 8), 2.2, 2.2);
    });
}
