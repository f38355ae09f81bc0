// KeptPictureButton: a push button that keeps its picture (see KeptPicture).
#pragma once

#include <QFont>
#include <QPushButton>

#include "terminal/carddevices/KeptPicture.h"

struct KeptButtonLook {
    QString text;
    QSize size;
    QFont font;
    int state = 0;     // pressed, focused, under the pointer, enabled, active...
    int features = 0;  // default, flat, menu...
    qint64 icon = 0;
    QSize iconSize;
    qint64 palette = 0;
    QColor paper;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    qreal ratio = 1;
    bool operator==(const KeptButtonLook&) const = default;
};

class KeptPictureButton : public KeptPicture<QPushButton, KeptButtonLook> {
  public:
    using KeptPicture::KeptPicture;

  protected:
    // None where what lies beneath the button is not one plain colour.
    std::optional<KeptButtonLook> look() const override;
};
