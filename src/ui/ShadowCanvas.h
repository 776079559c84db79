#pragma once

#include "ui/Drawing.h"

#include <QPainterPath>
#include <QWidget>

#include <functional>
#include <vector>

namespace vantorelle {

// A background for widgets that cast shadows beyond their own edges, which a widget cannot
// paint itself: the canvas paints them behind all of its children.
class ShadowCanvas : public QWidget {
    Q_OBJECT
public:
    struct CastShadow {
        QPainterPath shape; // in the canvas's coordinates
        ShadowSpec shadow;
        double opacity = 1.0;
    };

    explicit ShadowCanvas(QWidget* parent = nullptr);

    // Asked at every paint for the shadows to draw.
    void setShadows(std::function<std::vector<CastShadow>()> shadows);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<std::vector<CastShadow>()> shadows_;
    // The shadows of the last paint, rendered.
    std::vector<CachedShadow> cache_;
};

} // namespace vantorelle
