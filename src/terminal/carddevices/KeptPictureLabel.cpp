// The label painted from its kept picture.
#include "terminal/carddevices/KeptPictureLabel.h"

#include <QApplication>
#include <QPainter>
#include <QTextDocument>

std::optional<KeptPictureLabel::Look> KeptPictureLabel::look() const {
    const QWidget* under = parentWidget();
    // Beneath the label the window paints its own colour, and nothing else.
    if (!under || under != window() || autoFillBackground() || under->autoFillBackground() ||
        under->testAttribute(Qt::WA_TranslucentBackground) || under->testAttribute(Qt::WA_StyledBackground) ||
        !styleSheet().isEmpty() || !under->styleSheet().isEmpty() || !qApp->styleSheet().isEmpty())
        return std::nullopt;
    const QBrush paper = under->palette().brush(QPalette::Window);
    if (paper.style() != Qt::SolidPattern || !paper.isOpaque()) return std::nullopt;
    const bool plain =
        textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text()));
    if (!plain || !pixmap().isNull() || movie() || buddy() ||
        (textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard)))
        return std::nullopt;
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : (isActiveWindow() ? QPalette::Active : QPalette::Inactive);
    return Look{text(),
                size(),
                font(),
                palette().color(group, foregroundRole()),
                paper.color(),
                alignment(),
                wordWrap(),
                margin(),
                indent(),
                frameStyle(),
                contentsMargins(),
                layoutDirection(),
                devicePixelRatio()};
}

void KeptPictureLabel::paintEvent(QPaintEvent* e) {
    const std::optional<Look> now = taking_ ? std::nullopt : look();
    if (now && !picture_.isNull() && *now == pictured_) {
        QPainter p(this);
        p.drawImage(QPoint(0, 0), picture_);
        return;
    }
    QLabel::paintEvent(e);
    // A label cannot paint itself into a picture while it paints: the picture is taken after.
    if (now && !pending_) {
        pending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                pending_ = false;
                takePicture();
            },
            Qt::QueuedConnection);
    }
}

void KeptPictureLabel::takePicture() {
    const std::optional<Look> now = look();
    if (!now || now->size.isEmpty()) return;
    QImage picture(now->size * now->ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(now->ratio);
    picture.fill(now->paper);
    taking_ = true;
    render(&picture, QPoint(), QRegion(), RenderFlags());
    taking_ = false;
    picture_ = picture;
    pictured_ = *now;
}
