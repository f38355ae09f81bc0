// The line-edit frame drawn from a copy.
#include "terminal/carddevices/CachedFrameStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace {

constexpr size_t kMaxFrames = 8;

}  // namespace

CachedFrameStyle::CachedFrameStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

void CachedFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    const QTransform& t = painter->transform();
    // A copy lands on the same pixels only where the painter moves by whole pixels and blends plainly.
    const bool plain = t.type() <= QTransform::TxTranslate && t.dx() == qRound(t.dx()) &&
                       t.dy() == qRound(t.dy()) && painter->opacity() == 1.0 &&
                       painter->compositionMode() == QPainter::CompositionMode_SourceOver;
    if (element != PE_FrameLineEdit || !frame || !plain || option->rect.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const Look look{option->rect.size(), option->state,     option->palette.cacheKey(),
                    frame->lineWidth,    option->direction, painter->device()->devicePixelRatio()};
    auto found = std::find_if(frames_.begin(), frames_.end(), [&](const auto& f) { return f.first == look; });
    if (found == frames_.end()) {
        if (frames_.size() == kMaxFrames) frames_.clear();
        QPixmap copy(look.size * look.ratio);
        copy.setDevicePixelRatio(look.ratio);
        copy.fill(Qt::transparent);
        QStyleOptionFrame at(*frame);
        at.rect.moveTo(0, 0);
        QPainter p(&copy);
        QProxyStyle::drawPrimitive(element, &at, &p, widget);
        p.end();
        found = frames_.insert(frames_.end(), {look, copy});
    }
    painter->drawPixmap(option->rect.topLeft(), found->second);
}
