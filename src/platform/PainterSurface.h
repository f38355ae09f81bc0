// PainterSurface: a drawing surface painted with QPainter: a white picture in memory (previews) or a
// recorded vector picture (report pages); printers are painter surfaces too.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPicture>

#include <memory>
#include <optional>

#include "platform/DrawSurface.h"

class PainterSurface : public DrawSurface {
  public:
    // A white picture of that size in millimetres at that resolution.
    static std::shared_ptr<PainterSurface> onImage(const QSizeF& mm, int dpi = 96);
    // A recorded picture of that size in millimetres, at the screen's resolution.
    static std::shared_ptr<PainterSurface> onPicture(const QSizeF& mm);
    ~PainterSurface() override;

    QSizeF physicalSize() const override;
    void setPhysicalSize(const QSizeF& mm) override;
    double pixelsPerMm() const override;

    // What was drawn so far on a picture in memory; later output goes on over it.
    const QImage& image();
    // The recorded picture; the surface starts an empty one for later output.
    QPicture takePicture();

    double textWidth(const QString& text) override;
    double textHeight(const QString& text) override;
    TurnedText printTurned(double x, double y, const QString& text, bool upward, int32_t color) override;
    void line(QPointF from, QPointF to, std::optional<int32_t> color = {}) override;
    void box(QPointF from, QPointF to, std::optional<int32_t> color = {}) override;
    void filledBox(QPointF from, QPointF to, int32_t color) override;
    void circle(QPointF centre, double radius) override;
    void paintPicture(const QImage& picture, const QRectF& destination, const QRectF& source) override;

  protected:
    PainterSurface() = default;
    virtual QPaintDevice* device();
    // Starts painting on the device; false when it cannot.
    virtual bool beginPainting(QPainter& painter);
    void endPainting();
    // Begins painting when it has not begun; false when it cannot.
    bool ensurePainting();
    void drawText(double x, double y, const QString& text) override;
    void fontChanged() override;
    // Called before each drawing, with the painter begun (a printer starts a page it was asked for).
    virtual void outputStarts() {}

  private:
    enum class Kind { Image, Picture, Device };
    // The painter, begun at the first output; raises the printer error when painting cannot begin.
    QPainter& painter();
    double pixelsPerUnitX() const;
    double pixelsPerUnitY() const;
    QPointF toDevice(QPointF p) const;
    const QFontMetricsF& metrics();
    QPen pen(int32_t color) const;
    QBrush fillBrush() const;

    Kind kind_ = Kind::Device;
    QImage image_;
    QPicture picture_;
    QSizeF pictureSize_;
    QPainter painter_;
    QFont qfont_;
    bool fontReady_ = false;
    std::optional<QFontMetricsF> metrics_;
    QHash<char16_t, double> advances_;  // of the current font, in text pixels
};
