// Line-edit frames copied by the caching style against the application style drawing them: the same
// pixels (within the rounding of one blend) for every look, and never the copy of another look.
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionFrame>

#include <gtest/gtest.h>

#include "terminal/carddevices/CachedFrameStyle.h"

namespace {

struct Look {
    QSize size;
    bool focus;
    QPointF at;  // where the painter stands
};

// The panel of a line edit as it paints itself, on a coloured background.
QImage panel(const QStyle& style, const QLineEdit& box, const Look& look) {
    QImage image(look.size + QSize(24, 24), QImage::Format_RGB32);
    image.fill(QColor(30, 160, 90));
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.rect = QRect(QPoint(3, 4), look.size);
    option.lineWidth = style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box);
    option.state.setFlag(QStyle::State_HasFocus, look.focus);
    QPainter p(&image);
    p.translate(look.at);
    style.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &p, &box);
    return image;
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb u = a.pixel(x, y), v = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(u) - qRed(v)), std::abs(qGreen(u) - qGreen(v)),
                                std::abs(qBlue(u) - qBlue(v))});
        }
    return largest;
}

TEST(CachedFrameStyleTest, FramesAreTheStylesOwnForEveryLookAndPlace) {
    CachedFrameStyle cached;
    QLineEdit box;
    const Look looks[] = {
        {{300, 26}, false, {5, 5}}, {{300, 26}, true, {5, 5}}, {{300, 26}, false, {5, 5}},
        {{120, 30}, true, {10, 3}}, {{300, 26}, true, {0, 0}}, {{300, 26}, true, {5.5, 5.25}},
    };
    for (const Look& look : looks) {
        const QImage drawn = panel(*QApplication::style(), box, look);
        const QImage copied = panel(cached, box, look);
        // The frame is there at all: it darkens the background around the box.
        EXPECT_NE(drawn.pixel(int(look.at.x()) + 3 + look.size.width() / 2, int(look.at.y()) + 4),
                  qRgb(30, 160, 90));
        EXPECT_LE(largestDifference(drawn, copied), 2)
            << look.size.width() << "x" << look.size.height() << " focus " << look.focus << " at "
            << look.at.x() << "," << look.at.y();
    }
}

}  // namespace
