#include "ui/RoundedPanel.h"

#include "ui/Drawing.h"

#include <QPainter>

namespace vantorelle {

RoundedPanel::RoundedPanel(double radius, QWidget* parent) : QWidget(parent), radius_(radius) {}

void RoundedPanel::setFill(const QColor& color)
{
    fillColor_ = color;
    fillGradient_.reset();
    update();
}

void RoundedPanel::setFill(const LinearGradientSpec& gradient)
{
    fillGradient_ = gradient;
    fillColor_.reset();
    update();
}

void RoundedPanel::setOutline(std::optional<QColor> color, double width)
{
    outline_ = color;
    outlineWidth_ = width;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());
    if (fillGradient_) {
        painter.fillPath(continuousRoundedRect(bounds, radius_), fillGradient_->in(bounds));
    } else if (fillColor_) {
        painter.fillPath(continuousRoundedRect(bounds, radius_), *fillColor_);
    }
    if (outline_) {
        // Stroked on the inside so the line lies whole within the widget, on whole pixels.
        const double half = outlineWidth_ / 2.0;
        painter.setPen(QPen(*outline_, outlineWidth_));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(continuousRoundedRect(bounds.adjusted(half, half, -half, -half), radius_ - half));
    }
}

} // namespace vantorelle
