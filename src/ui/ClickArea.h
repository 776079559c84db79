#pragma once

#include <QPainterPath>
#include <QWidget>

namespace vantorelle {

// A widget that acts on a single left click anywhere inside its hit shape (by default its
// whole rectangle), also over empty space and over child widgets that take no clicks
// themselves. The click counts when the button goes down and comes up inside the shape.
class ClickArea : public QWidget {
    Q_OBJECT
public:
    explicit ClickArea(QWidget* parent = nullptr);

    // The shape that takes clicks, in the widget's coordinates.
    virtual QPainterPath hitShape() const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressedInside_ = false;
};

} // namespace vantorelle
