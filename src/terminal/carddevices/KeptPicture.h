// KeptPicture: a widget on a window of one plain colour that keeps a picture of itself and paints it
// while nothing it shows has changed; any change paints it as usual, and a new picture is taken after
// that paint (a widget cannot paint itself into a picture while it paints). Laying out and shaping a
// text anew at each paint costs about 0.05 ms for a line or two; copying the picture a few
// microseconds. For the controls of a window shown again and again, such as the card window's.
// `Look` holds what the widget's pixels depend on; the subclass says what it is now, or none where
// the widget is to paint as usual.
#pragma once

#include <QColor>
#include <QImage>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <optional>

// The colour the window paints beneath `widget`, where that is one opaque colour and nothing else.
std::optional<QColor> PlainPaperBeneath(const QWidget& widget);

template <typename Widget, typename Look>
class KeptPicture : public Widget {
  public:
    using Widget::Widget;

  protected:
    virtual std::optional<Look> look() const = 0;

    void paintEvent(QPaintEvent* e) override {
        const std::optional<Look> now = taking_ ? std::nullopt : look();
        if (now && !picture_.isNull() && *now == pictured_ && this->style() == pictureStyle_) {
            QPainter p(this);
            p.drawImage(QPoint(0, 0), picture_);
            return;
        }
        Widget::paintEvent(e);
        if (now && !pending_) {
            pending_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    pending_ = false;
                    take();
                },
                Qt::QueuedConnection);
        }
    }

  private:
    void take() {
        const std::optional<Look> now = look();
        const std::optional<QColor> paper = PlainPaperBeneath(*this);
        if (!now || !paper || this->size().isEmpty()) return;
        const qreal ratio = this->devicePixelRatio();
        QImage picture(this->size() * ratio, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        picture.fill(*paper);
        taking_ = true;
        this->render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
        taking_ = false;
        picture_ = picture;
        pictured_ = *now;
        pictureStyle_ = this->style();
    }

    QImage picture_;
    Look pictured_{};
    const QStyle* pictureStyle_ = nullptr;  // the style that drew the picture
    bool taking_ = false;                   // the widget paints itself into the picture
    bool pending_ = false;                  // a picture is to be taken once the paint is over
};
