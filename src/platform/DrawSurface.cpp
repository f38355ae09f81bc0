// The state and the scale shared by every drawing surface.
#include "platform/DrawSurface.h"

#include <QHash>

#include "base/AppError.h"

QString DrawSurface::className() const {
    return isPrinter() ? QStringLiteral("Printer") : QStringLiteral("PictureBox");
}

Variant DrawSurface::invoke(const QString&, CallKind, VariantList&) {
    RaiseVbError(438, className());
}

void DrawSurface::setPhysicalSize(const QSizeF&) {
    RaiseVbError(383, className());  // the property is read-only here
}

QSizeF DrawSurface::scaleSize() const {
    return userScale_ ? scale_ : physicalSize();
}

void DrawSurface::setScaleSize(const QSizeF& units) {
    if (!(units.width() != 0 && units.height() != 0)) RaiseVbError(380, className());
    userScale_ = true;
    scale_ = units;
}

void DrawSurface::setScaleMillimetres() {
    userScale_ = false;
}

double DrawSurface::unitsPerMmX() const {
    return userScale_ ? scale_.width() / physicalSize().width() : 1.0;
}

double DrawSurface::unitsPerMmY() const {
    return userScale_ ? scale_.height() / physicalSize().height() : 1.0;
}

QSizeF DrawSurface::naturalSize(const QImage& picture) const {
    // QImage keeps 96 dpi for files that give no resolution.
    const double mmW = picture.width() * 1000.0 / picture.dotsPerMeterX();
    const double mmH = picture.height() * 1000.0 / picture.dotsPerMeterY();
    return {mmW * unitsPerMmX(), mmH * unitsPerMmY()};
}

void DrawSurface::setFont(const SurfaceFont& font) {
    if (!(font.size > 0)) RaiseVbError(380, className());
    font_ = font;
    fontChanged();
}

void DrawSurface::print(const QString& text) {
    if (text.isEmpty()) return;
    drawText(currentX_, currentY_, text);
    currentX_ += textWidth(text);
}

void DrawSurface::setOrientation(int) {
    RaiseVbError(383, className());
}

QColor VbColor(int32_t rgb) {
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

QString InstalledFontFamily(const QString& name) {
    // The faces the layouts name, onto faces with the same metrics (or the nearest) installed here.
    static const QHash<QString, QString> faces = {
        {QStringLiteral("ms sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("ms san serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("verdana"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
    };
    return faces.value(name.trimmed().toLower(), name);
}
