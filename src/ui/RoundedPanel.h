#pragma once

#include "ui/Palette.h"

#include <QColor>
#include <QWidget>

#include <optional>

namespace vantorelle {

// A container drawn as a rounded rectangle (continuous corners): an optional fill (a colour
// or a gradient) and an optional 1-point outline drawn inside its edge. Its children lie on
// top of the fill.
class RoundedPanel : public QWidget {
    Q_OBJECT
public:
    explicit RoundedPanel(double radius, QWidget* parent = nullptr);

    void setFill(const QColor& color);
    void setFill(const LinearGradientSpec& gradient);
    void setOutline(std::optional<QColor> color, double width = 1.0);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const double radius_;
    std::optional<QColor> fillColor_;
    std::optional<LinearGradientSpec> fillGradient_;
    std::optional<QColor> outline_;
    double outlineWidth_ = 1.0;
};

} // namespace vantorelle
