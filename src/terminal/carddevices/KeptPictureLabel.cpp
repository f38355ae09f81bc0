// What a label's kept picture depends on.
#include "terminal/carddevices/KeptPictureLabel.h"

#include <QTextDocument>

std::optional<KeptLabelLook> KeptPictureLabel::look() const {
    const std::optional<QColor> paper = PlainPaperBeneath(*this);
    const bool plain =
        textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text()));
    if (!paper || !plain || movie() || buddy() ||
        (textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard)))
        return std::nullopt;
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : (isActiveWindow() ? QPalette::Active : QPalette::Inactive);
    return KeptLabelLook{text(),
                         pixmap().cacheKey(),
                         hasScaledContents(),
                         size(),
                         font(),
                         palette().color(group, foregroundRole()),
                         *paper,
                         alignment(),
                         wordWrap(),
                         margin(),
                         indent(),
                         frameStyle(),
                         contentsMargins(),
                         layoutDirection(),
                         devicePixelRatio()};
}
