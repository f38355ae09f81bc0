// What lies beneath a widget that keeps its picture.
#include "terminal/carddevices/KeptPicture.h"

#include <QApplication>

std::optional<QColor> PlainPaperBeneath(const QWidget& widget) {
    const QWidget* under = widget.parentWidget();
    // Beneath the widget the window paints its own colour, and nothing else.
    if (!under || under != widget.window() || widget.autoFillBackground() || under->autoFillBackground() ||
        under->testAttribute(Qt::WA_TranslucentBackground) || under->testAttribute(Qt::WA_StyledBackground) ||
        !widget.styleSheet().isEmpty() || !under->styleSheet().isEmpty() || !qApp->styleSheet().isEmpty())
        return std::nullopt;
    const QBrush paper = under->palette().brush(QPalette::Window);
    if (paper.style() != Qt::SolidPattern || !paper.isOpaque()) return std::nullopt;
    return paper.color();
}
