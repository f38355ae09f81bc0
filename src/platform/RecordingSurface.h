// RecordingSurface: a drawing surface that logs every primitive in scale units, with a font of fixed
// metrics (a width per character, a height per line), for tests of what the engines draw.
#pragma once

#include <QStringList>

#include "platform/DrawSurface.h"

class RecordingSurface : public DrawSurface {
  public:
    // A picture of that size in millimetres, or a printer when given a device name (the size is then
    // its printable area in portrait).
    explicit RecordingSurface(const QSizeF& mm, const QString& printerName = {});

    // "print x y text", "turned x y down|up color text", "line x1 y1 x2 y2 color",
    // "box x1 y1 x2 y2 color fs=style fc=color", "fill x1 y1 x2 y2 color", "circle x y r color fs= fc=",
    // "picture x y w h from sx sy sw sh", "font name size [bold] [italic] [underline]", "size w h",
    // "orientation n", "newpage", "enddoc".
    QStringList log;
    double charWidth = 2;
    double lineHeight = 4;

    bool isPrinter() const override { return !printerName_.isEmpty(); }
    QString deviceName() const override { return printerName_; }
    QSizeF physicalSize() const override;
    void setPhysicalSize(const QSizeF& mm) override;
    int orientation() const override { return orientation_; }
    void setOrientation(int orientation) override;
    void newPage() override;
    void endDoc() override;
    int pageCount() const { return pages_; }

    double textWidth(const QString& text) override;
    double textHeight(const QString& text) override;
    TurnedText printTurned(double x, double y, const QString& text, bool upward, int32_t color) override;
    void line(QPointF from, QPointF to, std::optional<int32_t> color = {}) override;
    void box(QPointF from, QPointF to, std::optional<int32_t> color = {}) override;
    void filledBox(QPointF from, QPointF to, int32_t color) override;
    void circle(QPointF centre, double radius) override;
    void paintPicture(const QImage& picture, const QRectF& destination, const QRectF& source) override;

  protected:
    void drawText(double x, double y, const QString& text) override;
    void fontChanged() override;

  private:
    void started();
    QSizeF size_;
    QString printerName_;
    int orientation_ = 1;
    int pages_ = 0;
};
