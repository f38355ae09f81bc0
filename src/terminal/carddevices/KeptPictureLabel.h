// KeptPictureLabel: a label of plain text or a pixmap that keeps its picture (see KeptPicture).
#pragma once

#include <QFont>
#include <QLabel>

#include "terminal/carddevices/KeptPicture.h"

struct KeptLabelLook {
    QString text;
    qint64 pixmap = 0;
    bool scaled = false;
    QSize size;
    QFont font;
    QColor ink;
    QColor paper;
    Qt::Alignment alignment;
    bool wordWrap = false;
    int margin = 0;
    int indent = 0;
    int frameStyle = 0;
    QMargins contents;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    qreal ratio = 1;
    bool operator==(const KeptLabelLook&) const = default;
};

class KeptPictureLabel : public KeptPicture<QLabel, KeptLabelLook> {
  public:
    using KeptPicture::KeptPicture;

  protected:
    // None where the label shows rich text, a movie or a shortcut, or what lies beneath it is not one
    // plain colour.
    std::optional<KeptLabelLook> look() const override;
};
