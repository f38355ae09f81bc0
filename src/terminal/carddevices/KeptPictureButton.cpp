// What a push button's kept picture depends on: the style draws it from its style option.
#include "terminal/carddevices/KeptPictureButton.h"

#include <QStyleOptionButton>

std::optional<KeptButtonLook> KeptPictureButton::look() const {
    const std::optional<QColor> paper = PlainPaperBeneath(*this);
    if (!paper) return std::nullopt;
    QStyleOptionButton option;
    initStyleOption(&option);
    return KeptButtonLook{option.text,       option.rect.size(),        font(),
                          int(option.state), int(option.features),      option.icon.cacheKey(),
                          option.iconSize,   option.palette.cacheKey(), *paper,
                          option.direction,  devicePixelRatio()};
}
