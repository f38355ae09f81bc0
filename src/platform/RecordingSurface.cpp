// The recording surface: one log line per primitive, numbers as short as they can be written.
#include "platform/RecordingSurface.h"

#include "base/AppError.h"

namespace {

QString num(double v) {
    return QString::number(v, 'g', 6);
}

QString points(QPointF a, QPointF b) {
    return num(a.x()) + u' ' + num(a.y()) + u' ' + num(b.x()) + u' ' + num(b.y());
}

}  // namespace

RecordingSurface::RecordingSurface(const QSizeF& mm, const QString& printerName)
    : size_(mm), printerName_(printerName) {}

QSizeF RecordingSurface::physicalSize() const {
    return orientation_ == 2 ? size_.transposed() : size_;
}

void RecordingSurface::setPhysicalSize(const QSizeF& mm) {
    if (isPrinter()) DrawSurface::setPhysicalSize(mm);
    if (!(mm.width() > 0 && mm.height() > 0)) RaiseVbError(380, className());
    size_ = mm;
    log << QStringLiteral("size ") + num(mm.width()) + u' ' + num(mm.height());
}

void RecordingSurface::setOrientation(int orientation) {
    if (!isPrinter()) DrawSurface::setOrientation(orientation);
    if (orientation != 1 && orientation != 2) RaiseVbError(380, className());
    orientation_ = orientation;
    log << QStringLiteral("orientation ") + QString::number(orientation);
}

void RecordingSurface::started() {
    if (isPrinter() && pages_ == 0) pages_ = 1;
}

void RecordingSurface::newPage() {
    if (!isPrinter()) return;
    started();
    ++pages_;
    log << QStringLiteral("newpage");
}

void RecordingSurface::endDoc() {
    if (!isPrinter()) return;
    log << QStringLiteral("enddoc");
}

double RecordingSurface::textWidth(const QString& text) {
    return charWidth * text.size();
}

double RecordingSurface::textHeight(const QString&) {
    return lineHeight;
}

void RecordingSurface::drawText(double x, double y, const QString& text) {
    started();
    log << QStringLiteral("print ") + num(x) + u' ' + num(y) + u' ' + text;
}

TurnedText RecordingSurface::printTurned(double x, double y, const QString& text, bool upward,
                                         int32_t color) {
    started();
    log << QStringLiteral("turned ") + num(x) + u' ' + num(y) +
               (upward ? QStringLiteral(" up ") : QStringLiteral(" down ")) + QString::number(color) + u' ' +
               text;
    return TurnedText::Drawn;
}

void RecordingSurface::line(QPointF from, QPointF to, std::optional<int32_t> color) {
    started();
    log << QStringLiteral("line ") + points(from, to) + u' ' + QString::number(color.value_or(foreColor()));
}

void RecordingSurface::box(QPointF from, QPointF to, std::optional<int32_t> color) {
    started();
    log << QStringLiteral("box ") + points(from, to) + u' ' + QString::number(color.value_or(foreColor())) +
               QStringLiteral(" fs=") + QString::number(fillStyle()) + QStringLiteral(" fc=") +
               QString::number(fillColor());
}

void RecordingSurface::filledBox(QPointF from, QPointF to, int32_t color) {
    started();
    log << QStringLiteral("fill ") + points(from, to) + u' ' + QString::number(color);
}

void RecordingSurface::circle(QPointF centre, double radius) {
    started();
    log << QStringLiteral("circle ") + num(centre.x()) + u' ' + num(centre.y()) + u' ' + num(radius) + u' ' +
               QString::number(foreColor()) + QStringLiteral(" fs=") + QString::number(fillStyle()) +
               QStringLiteral(" fc=") + QString::number(fillColor());
}

void RecordingSurface::paintPicture(const QImage&, const QRectF& destination, const QRectF& source) {
    started();
    log << QStringLiteral("picture ") + num(destination.x()) + u' ' + num(destination.y()) + u' ' +
               num(destination.width()) + u' ' + num(destination.height()) + QStringLiteral(" from ") +
               num(source.x()) + u' ' + num(source.y()) + u' ' + num(source.width()) + u' ' +
               num(source.height());
}

void RecordingSurface::fontChanged() {
    const SurfaceFont& f = font();
    QString line = QStringLiteral("font ") + f.name + u' ' + num(f.size);
    if (f.bold) line += QStringLiteral(" bold");
    if (f.italic) line += QStringLiteral(" italic");
    if (f.underline) line += QStringLiteral(" underline");
    log << line;
}
