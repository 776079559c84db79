#include "ui/ShadowCanvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace vantorelle {

ShadowCanvas::ShadowCanvas(QWidget* parent) : QWidget(parent) {}

void ShadowCanvas::setShadows(std::function<std::vector<CastShadow>()> shadows)
{
    shadows_ = std::move(shadows);
    update();
}

void ShadowCanvas::paintEvent(QPaintEvent* event)
{
    if (!shadows_) return;
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    const std::vector<CastShadow> casts = shadows_();
    // Each shadow takes over the rendering of one alike from the last paint, drawn now or not;
    // only the shadows still cast stay cached.
    std::vector<CachedShadow> kept(casts.size());
    for (std::size_t i = 0; i < casts.size(); ++i) {
        const CastShadow& cast = casts[i];
        const auto cached = std::ranges::find_if(
            cache_, [&](const CachedShadow& each) { return each.holds(cast.shape, cast.shadow, ratio); });
        if (cached != cache_.end()) kept[i] = std::exchange(*cached, CachedShadow{});
        if (!shadowArea(cast.shape, cast.shadow).intersects(event->rect())) continue;
        painter.setOpacity(cast.opacity);
        kept[i].paint(painter, cast.shape, cast.shadow);
    }
    cache_ = std::move(kept);
}

} // namespace vantorelle
