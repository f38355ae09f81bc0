// DrawSurface: what the print engines draw on (a printer, a picture for previews and report pages,
// or a recording for tests). Positions and sizes are in the surface's scale units: millimetres
// unless a user scale is set. Colours are VB RGB values (0x00BBGGRR: 255 is red).
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <optional>

#include "base/Object.h"

// The font as the engines set it: face name as given (mapped to an installed face when drawn),
// size in points.
struct SurfaceFont {
    QString name = QStringLiteral("Arial");
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// VB's fill styles: 0 solid, 1 transparent, 2-7 hatches.
namespace FillStyles {
inline constexpr int kSolid = 0;
inline constexpr int kTransparent = 1;
}  // namespace FillStyles

// Outcome of drawing a turned text block, for the engines' own messages.
enum class TurnedText { Drawn, NoContext, NoBitmap, NoFont };

// White as an RGB value.
inline constexpr int32_t kVbWhite = 0xFFFFFF;

class DrawSurface : public Object {
  public:
    // "Printer" for a printer, "PictureBox" for any other surface.
    QString className() const override;
    // Scripts see a surface as an object without members of its own.
    Variant invoke(const QString& name, CallKind kind, VariantList& args) override;

    virtual bool isPrinter() const { return false; }
    // A printer's device name; empty elsewhere.
    virtual QString deviceName() const { return {}; }

    // The drawable area in millimetres: a printer's printable area in its current orientation.
    virtual QSizeF physicalSize() const = 0;
    // Gives a picture a new size in millimetres, emptying it; printers raise (their page is their own).
    virtual void setPhysicalSize(const QSizeF& mm);
    // The user scale: units across and down the drawable area. Millimetres until set.
    QSizeF scaleSize() const;
    void setScaleSize(const QSizeF& units);
    void setScaleMillimetres();
    bool isMillimetreScale() const { return !userScale_; }
    double unitsPerMmX() const;
    double unitsPerMmY() const;
    // A picture's natural size (its pixels at its own resolution) in scale units.
    QSizeF naturalSize(const QImage& picture) const;

    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentX(double x) { currentX_ = x; }
    void setCurrentY(double y) { currentY_ = y; }

    const SurfaceFont& font() const { return font_; }
    void setFont(const SurfaceFont& font);
    int32_t foreColor() const { return foreColor_; }
    void setForeColor(int32_t c) { foreColor_ = c; }
    int32_t fillColor() const { return fillColor_; }
    void setFillColor(int32_t c) { fillColor_ = c; }
    int fillStyle() const { return fillStyle_; }
    void setFillStyle(int s) { fillStyle_ = s; }
    bool fontTransparent() const { return fontTransparent_; }
    void setFontTransparent(bool t) { fontTransparent_ = t; }
    int drawWidth() const { return drawWidth_; }  // device pixels
    // Device pixels per millimetre, for widths given in pixels.
    virtual double pixelsPerMm() const { return 96 / 25.4; }
    void setDrawWidth(int w) { drawWidth_ = w < 1 ? 1 : w; }
    int drawStyle() const { return drawStyle_; }
    void setDrawStyle(int s) { drawStyle_ = s; }

    // Width and line height of a text in the current font, in scale units.
    virtual double textWidth(const QString& text) = 0;
    virtual double textHeight(const QString& text) = 0;
    // Draws the text with its top-left corner at the current point and moves the point right by its
    // width. An empty text draws nothing.
    void print(const QString& text);
    // Draws the text turned a quarter, on an opaque white block as tall as the text is wide and as wide
    // as a line is high, whose top-left corner is at (x, y): reading downward, or upward.
    virtual TurnedText printTurned(double x, double y, const QString& text, bool upward, int32_t color) = 0;

    // A segment, in the fore colour unless one is given.
    virtual void line(QPointF from, QPointF to, std::optional<int32_t> color = {}) = 0;
    // A box with these corners: outlined in the fore colour (or the one given), filled as the fill
    // style and colour say. A box of no height or width is a line with both ends.
    virtual void box(QPointF from, QPointF to, std::optional<int32_t> color = {}) = 0;
    // A box filled exactly, with no outline, in one colour.
    virtual void filledBox(QPointF from, QPointF to, int32_t color) = 0;
    // A circle in the fore colour, filled as the fill style says; the radius is in horizontal units.
    virtual void circle(QPointF centre, double radius) = 0;
    // The source rectangle (pixels of the picture) drawn into the destination (scale units).
    virtual void paintPicture(const QImage& picture, const QRectF& destination, const QRectF& source) = 0;

    // Printers: 1 portrait, 2 landscape; new page; end of the document (the next output starts another).
    virtual int orientation() const { return 1; }
    virtual void setOrientation(int orientation);
    virtual void newPage() {}
    virtual void endDoc() {}

  protected:
    virtual void drawText(double x, double y, const QString& text) = 0;
    virtual void fontChanged() {}

  private:
    bool userScale_ = false;
    QSizeF scale_;
    double currentX_ = 0, currentY_ = 0;
    SurfaceFont font_;
    int32_t foreColor_ = 0, fillColor_ = 0;
    int fillStyle_ = FillStyles::kTransparent;
    bool fontTransparent_ = true;
    int drawWidth_ = 1, drawStyle_ = 0;
};

// The QColor of a VB RGB value.
QColor VbColor(int32_t rgb);
// The installed face that stands for a face name of the layouts ("Arial", "MS Sans Serif"...).
QString InstalledFontFamily(const QString& name);
