#pragma once

#include "ui/Drawing.h"

#include <QImage>
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
    // A blurred shadow, kept while its shape is drawn again and again (a level bar moving on
    // a card repaints the canvas under it many times a second).
    struct Rendered {
        QPainterPath shape; // moved to the origin
        ShadowSpec shadow;
        double ratio = 1.0;
        QImage image;
    };
    bool keepCached(const QPainterPath& atOrigin, const ShadowSpec& shadow, double ratio,
                    std::vector<Rendered>& kept);
    const QImage& rendered(const CastShadow& cast, const QRectF& area, double ratio,
                           std::vector<Rendered>& kept);

    std::function<std::vector<CastShadow>()> shadows_;
    std::vector<Rendered> cache_;
};

} // namespace vantorelle
