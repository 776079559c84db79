#include "ui/ClickArea.h"

#include <QMouseEvent>

#include <utility>

namespace vantorelle {

ClickArea::ClickArea(QWidget* parent) : QWidget(parent) {}

QPainterPath ClickArea::hitShape() const
{
    QPainterPath path;
    path.addRect(QRectF(rect()));
    return path;
}

void ClickArea::mousePressEvent(QMouseEvent* event)
{
    pressedInside_ = event->button() == Qt::LeftButton && hitShape().contains(event->position());
    if (pressedInside_) {
        event->accept();
    } else {
        QWidget::mousePressEvent(event);
    }
}

void ClickArea::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = std::exchange(pressedInside_, false);
    if (event->button() == Qt::LeftButton && wasPressed && hitShape().contains(event->position())) {
        event->accept();
        emit clicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace vantorelle
