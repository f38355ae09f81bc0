// Drawing with QPainter in device pixels: positions are mapped from scale units. Text is laid out at one
// fine resolution whatever the device and scaled onto it, so that it measures the same on a preview, a
// picture and a printer (a preview wraps lines where the print does) and keeps its exact size even where
// a device would round the font to whole pixels.
#include "platform/PainterSurface.h"

#include <cmath>

#include "base/AppError.h"

namespace {

// The largest block a turned text may take, in device pixels on either side.
constexpr double kMaxBlockPixels = 32767;
// Text is laid out at this resolution.
constexpr double kTextDpi = 2400;

Qt::PenStyle penStyleOf(int drawStyle) {
    switch (drawStyle) {
        case 1:
            return Qt::DashLine;
        case 2:
            return Qt::DotLine;
        case 3:
            return Qt::DashDotLine;
        case 4:
            return Qt::DashDotDotLine;
        case 5:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

Qt::BrushStyle brushStyleOf(int fillStyle) {
    switch (fillStyle) {
        case 0:
            return Qt::SolidPattern;
        case 2:
            return Qt::HorPattern;
        case 3:
            return Qt::VerPattern;
        case 4:
            return Qt::BDiagPattern;
        case 5:
            return Qt::FDiagPattern;
        case 6:
            return Qt::CrossPattern;
        case 7:
            return Qt::DiagCrossPattern;
        default:
            return Qt::NoBrush;
    }
}

}  // namespace

std::shared_ptr<PainterSurface> PainterSurface::onImage(const QSizeF& mm, int dpi) {
    std::shared_ptr<PainterSurface> s(new PainterSurface());
    s->kind_ = Kind::Image;
    s->image_ = QImage(1, 1, QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    s->image_.setDotsPerMeterX(dpm);
    s->image_.setDotsPerMeterY(dpm);
    s->setPhysicalSize(mm);
    return s;
}

std::shared_ptr<PainterSurface> PainterSurface::onPicture(const QSizeF& mm) {
    std::shared_ptr<PainterSurface> s(new PainterSurface());
    s->kind_ = Kind::Picture;
    s->setPhysicalSize(mm);
    return s;
}

PainterSurface::~PainterSurface() {
    if (painter_.isActive()) painter_.end();
}

QPaintDevice* PainterSurface::device() {
    if (kind_ == Kind::Image) return &image_;
    return &picture_;
}

QSizeF PainterSurface::physicalSize() const {
    if (kind_ == Kind::Image)
        return {image_.width() * 1000.0 / image_.dotsPerMeterX(),
                image_.height() * 1000.0 / image_.dotsPerMeterY()};
    return pictureSize_;
}

void PainterSurface::setPhysicalSize(const QSizeF& mm) {
    if (kind_ == Kind::Device) DrawSurface::setPhysicalSize(mm);
    if (!(mm.width() > 0 && mm.height() > 0)) RaiseVbError(380, className());
    endPainting();
    if (kind_ == Kind::Image) {
        const int dpmX = image_.dotsPerMeterX(), dpmY = image_.dotsPerMeterY();
        QImage fresh(qMax(1, qRound(mm.width() * dpmX / 1000.0)),
                     qMax(1, qRound(mm.height() * dpmY / 1000.0)), QImage::Format_RGB32);
        if (fresh.isNull()) RaiseVbError(7, className());
        fresh.setDotsPerMeterX(dpmX);
        fresh.setDotsPerMeterY(dpmY);
        fresh.fill(Qt::white);
        image_ = fresh;
    } else {
        picture_ = QPicture();
        pictureSize_ = mm;
    }
    fontChanged();
}

double PainterSurface::pixelsPerMm() const {
    return const_cast<PainterSurface*>(this)->device()->logicalDpiY() / 25.4;
}

const QImage& PainterSurface::image() {
    endPainting();
    return image_;
}

QPicture PainterSurface::takePicture() {
    endPainting();
    QPicture taken = picture_;
    picture_ = QPicture();
    return taken;
}

bool PainterSurface::beginPainting(QPainter& painter) {
    return painter.begin(device());
}

void PainterSurface::endPainting() {
    if (painter_.isActive()) painter_.end();
}

bool PainterSurface::ensurePainting() {
    if (painter_.isActive()) return true;
    if (!beginPainting(painter_)) return false;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    return true;
}

QPainter& PainterSurface::painter() {
    if (!ensurePainting()) RaiseVbError(482, className());
    outputStarts();
    return painter_;
}

double PainterSurface::pixelsPerUnitX() const {
    return const_cast<PainterSurface*>(this)->device()->logicalDpiX() / 25.4 / unitsPerMmX();
}

double PainterSurface::pixelsPerUnitY() const {
    return const_cast<PainterSurface*>(this)->device()->logicalDpiY() / 25.4 / unitsPerMmY();
}

QPointF PainterSurface::toDevice(QPointF p) const {
    return {p.x() * pixelsPerUnitX(), p.y() * pixelsPerUnitY()};
}

void PainterSurface::fontChanged() {
    const SurfaceFont& f = font();
    qfont_ = QFont();
    qfont_.setFamilies(
        {InstalledFontFamily(f.name), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    qfont_.setPixelSize(qMax(1, qRound(f.size * kTextDpi / 72)));
    qfont_.setBold(f.bold);
    qfont_.setItalic(f.italic);
    qfont_.setUnderline(f.underline);
    qfont_.setHintingPreference(QFont::PreferNoHinting);
    qfont_.setKerning(false);
    fontReady_ = true;
    metrics_.reset();
    advances_.clear();
}

const QFontMetricsF& PainterSurface::metrics() {
    if (!metrics_) {
        if (!fontReady_) fontChanged();
        metrics_.emplace(qfont_);
    }
    return *metrics_;
}

// Text is set without kerning, as printers' own text output sets it; so the width of a plain text is
// the sum of its characters' advances, kept per font: wrapping measures many prefixes of each text,
// and shaping every one of them again was the dearest part of a label run.
double PainterSurface::textWidth(const QString& text) {
    const QFontMetricsF& fm = metrics();
    double width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Outside Latin-1 (combining marks, scripts shaped across characters) the text is shaped whole.
        if (u < 0x20 || u > 0xFF) return fm.horizontalAdvance(text) * 25.4 / kTextDpi * unitsPerMmX();
        auto it = advances_.constFind(u);
        if (it == advances_.constEnd()) it = advances_.insert(u, fm.horizontalAdvance(c));
        width += it.value();
    }
    return width * 25.4 / kTextDpi * unitsPerMmX();
}

double PainterSurface::textHeight(const QString&) {
    return metrics().lineSpacing() * 25.4 / kTextDpi * unitsPerMmY();
}

void PainterSurface::drawText(double x, double y, const QString& text) {
    QPainter& p = painter();
    const QFontMetricsF& fm = metrics();
    const QPointF at = toDevice({x, y});
    p.save();
    p.translate(at);
    p.scale(device()->logicalDpiX() / kTextDpi, device()->logicalDpiY() / kTextDpi);
    if (!fontTransparent()) p.fillRect(QRectF(0, 0, fm.horizontalAdvance(text), fm.lineSpacing()), Qt::white);
    p.setFont(qfont_);
    p.setPen(VbColor(foreColor()));
    p.drawText(QPointF(0, fm.ascent()), text);
    p.restore();
}

TurnedText PainterSurface::printTurned(double x, double y, const QString& text, bool upward, int32_t color) {
    if (!ensurePainting()) return TurnedText::NoContext;
    const QFontMetricsF& fm = metrics();
    const double toDeviceX = device()->logicalDpiX() / kTextDpi,
                 toDeviceY = device()->logicalDpiY() / kTextDpi;
    if (font().size * device()->logicalDpiY() / 72.0 > kMaxBlockPixels) return TurnedText::NoFont;
    const double w = fm.horizontalAdvance(text), h = fm.lineSpacing();
    if (!(w * toDeviceY <= kMaxBlockPixels && h * toDeviceX <= kMaxBlockPixels)) return TurnedText::NoBitmap;
    outputStarts();
    const QPointF at = toDevice({x, y});
    painter_.save();
    // The block is h wide and w high; the text's top faces right when it reads downward.
    if (upward) {
        painter_.translate(at.x(), at.y() + w * toDeviceY);
        painter_.rotate(-90);
    } else {
        painter_.translate(at.x() + h * toDeviceX, at.y());
        painter_.rotate(90);
    }
    // Turned, the text's length runs down the device and its height across.
    painter_.scale(toDeviceY, toDeviceX);
    painter_.fillRect(QRectF(0, 0, w, h), Qt::white);
    painter_.setFont(qfont_);
    painter_.setPen(VbColor(color));
    painter_.drawText(QPointF(0, fm.ascent()), text);
    painter_.restore();
    return TurnedText::Drawn;
}

QPen PainterSurface::pen(int32_t color) const {
    QPen p(VbColor(color), drawWidth(), penStyleOf(drawStyle()), Qt::SquareCap, Qt::MiterJoin);
    return p;
}

QBrush PainterSurface::fillBrush() const {
    return QBrush(VbColor(fillColor()), brushStyleOf(fillStyle()));
}

void PainterSurface::line(QPointF from, QPointF to, std::optional<int32_t> color) {
    QPainter& p = painter();
    p.setPen(pen(color.value_or(foreColor())));
    p.drawLine(toDevice(from), toDevice(to));
}

void PainterSurface::box(QPointF from, QPointF to, std::optional<int32_t> color) {
    QPainter& p = painter();
    p.setPen(pen(color.value_or(foreColor())));
    const QPointF a = toDevice(from), b = toDevice(to);
    if (a.x() == b.x() || a.y() == b.y()) {
        p.drawLine(a, b);
        return;
    }
    p.setBrush(fillBrush());
    p.drawRect(QRectF(a, b).normalized());
    p.setBrush(Qt::NoBrush);
}

void PainterSurface::filledBox(QPointF from, QPointF to, int32_t color) {
    painter().fillRect(QRectF(toDevice(from), toDevice(to)).normalized(), VbColor(color));
}

void PainterSurface::circle(QPointF centre, double radius) {
    QPainter& p = painter();
    p.setPen(pen(foreColor()));
    p.setBrush(fillBrush());
    // Round on the device: the radius is measured across.
    const double rx = std::abs(radius) * pixelsPerUnitX();
    const double ry = rx * device()->logicalDpiY() / device()->logicalDpiX();
    p.drawEllipse(toDevice(centre), rx, ry);
    p.setBrush(Qt::NoBrush);
}

void PainterSurface::paintPicture(const QImage& picture, const QRectF& destination, const QRectF& source) {
    painter().drawImage(QRectF(toDevice(destination.topLeft()), toDevice(destination.bottomRight())), picture,
                        source);
}
