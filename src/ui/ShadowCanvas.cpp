#include "ui/ShadowCanvas.h"

#include <QPainter>

namespace vantorelle {

ShadowCanvas::ShadowCanvas(QWidget* parent) : QWidget(parent) {}

void ShadowCanvas::setShadows(std::function<std::vector<CastShadow>()> shadows)
{
    shadows_ = std::move(shadows);
    update();
}

void ShadowCanvas::paintEvent(QPaintEvent*)
{
    if (!shadows_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const CastShadow& cast : shadows_()) {
        painter.setOpacity(cast.opacity);
        paintShadow(painter, cast.shape, cast.shadow);
    }
}

} // namespace vantorelle
