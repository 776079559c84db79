#include "ui/ShadowCanvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace vantorelle {

namespace {

bool sameShadow(const ShadowSpec& a, const ShadowSpec& b)
{
    return a.color == b.color && a.radius == b.radius && a.offset == b.offset;
}

} // namespace

ShadowCanvas::ShadowCanvas(QWidget* parent) : QWidget(parent) {}

void ShadowCanvas::setShadows(std::function<std::vector<CastShadow>()> shadows)
{
    shadows_ = std::move(shadows);
    update();
}

bool ShadowCanvas::keepCached(const QPainterPath& atOrigin, const ShadowSpec& shadow, double ratio,
                              std::vector<Rendered>& kept)
{
    for (Rendered& entry : cache_) {
        if (!entry.image.isNull() && entry.ratio == ratio && sameShadow(entry.shadow, shadow) && entry.shape == atOrigin) {
            kept.push_back(std::move(entry));
            entry.image = QImage();
            return true;
        }
    }
    return false;
}

const QImage& ShadowCanvas::rendered(const CastShadow& cast, const QRectF& area, double ratio,
                                     std::vector<Rendered>& kept)
{
    const QPainterPath atOrigin = cast.shape.translated(-area.topLeft());
    if (keepCached(atOrigin, cast.shadow, ratio, kept)) return kept.back().image;
    QImage image(static_cast<int>(std::ceil(area.width() * ratio)), static_cast<int>(std::ceil(area.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paintShadow(painter, atOrigin, cast.shadow);
    }
    kept.push_back(Rendered{atOrigin, cast.shadow, ratio, std::move(image)});
    return kept.back().image;
}

void ShadowCanvas::paintEvent(QPaintEvent* event)
{
    if (!shadows_) return;
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    std::vector<Rendered> kept;
    const std::vector<CastShadow> casts = shadows_();
    kept.reserve(casts.size());
    for (const CastShadow& cast : casts) {
        const QMargins margins = shadowMargins(cast.shadow);
        const QRectF area = cast.shape.boundingRect()
                                .marginsAdded(QMarginsF(margins))
                                .translated(cast.shadow.offset)
                                .toAlignedRect();
        if (!area.intersects(event->rect())) {
            keepCached(cast.shape.translated(-area.topLeft()), cast.shadow, ratio, kept);
            continue;
        }
        painter.setOpacity(cast.opacity);
        painter.drawImage(area.topLeft(), rendered(cast, area, ratio, kept));
    }
    // Only the shadows still cast stay cached.
    cache_ = std::move(kept);
}

} // namespace vantorelle
