// KeptPictureLabel: a plain-text label on a window of one plain colour that keeps a picture of
// itself and paints it while nothing it shows has changed. Painting the text lays it out and shapes
// it anew each time (about 0.05 ms for a line or two); copying the picture takes a few microseconds.
// For the texts of a window shown again and again, such as the card window's.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>

#include <optional>

class KeptPictureLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    // What the label's pixels depend on.
    struct Look {
        QString text;
        QSize size;
        QFont font;
        QColor ink;
        QColor paper;  // the window's colour beneath the label
        Qt::Alignment alignment;
        bool wordWrap;
        int margin;
        int indent;
        int frameStyle;
        QMargins contents;
        Qt::LayoutDirection direction;
        qreal ratio;
        bool operator==(const Look&) const = default;
    };
    // None where the label is not plain text (or underlines a shortcut), or what lies beneath it is not
    // one plain colour.
    std::optional<Look> look() const;
    void takePicture();

    QImage picture_;
    Look pictured_;
    bool taking_ = false;   // the label paints itself into the picture
    bool pending_ = false;  // a picture is to be taken once the paint is over
};
