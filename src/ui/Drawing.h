#pragma once

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <vector>

class QPainter;
class QWidget;

namespace vantorelle {

// A rounded rectangle whose corners ease into the straight edges (continuous curvature)
// instead of the sudden bend of a circular arc.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius);
// Fully rounded ends.
QPainterPath capsule(const QRectF& rect);

// A shadow as the views describe it: colour (with its opacity), blur radius and offset.
struct ShadowSpec {
    QColor color;
    double radius = 0.0;
    QPointF offset;

    bool operator==(const ShadowSpec&) const = default;
};

// How far a shadow reaches beyond the shape on each side.
QMargins shadowMargins(const ShadowSpec& shadow);
// Where the shadow of `shape` falls, on whole points.
QRectF shadowArea(const QPainterPath& shape, const ShadowSpec& shadow);

// Paints the shadow of `shape` (the shape itself is not painted). For widgets that draw
// themselves and need the shadow under their own opacity; leave shadowMargins() free around
// the shape.
void paintShadow(QPainter& painter, const QPainterPath& shape, const ShadowSpec& shadow);

// A shadow rendered once and drawn again while its shape, look and pixel ratio stay the same:
// a level bar moving over a card repaints what lies under it many times a second.
class CachedShadow {
public:
    void paint(QPainter& painter, const QPainterPath& shape, const ShadowSpec& shadow);
    // paint() would draw what it has: the same shape (moved or not), look and pixel ratio.
    bool holds(const QPainterPath& shape, const ShadowSpec& shadow, double ratio) const;

private:
    QPainterPath shape_; // moved to the rendered image's origin
    ShadowSpec shadow_;
    double ratio_ = 0.0;
    QImage image_;
};

// The keyboard focus ring: 2 points just inside `shape`'s edge, always dark. Dark stands out
// 3:1 or more from everything a ring lies on or next to: the sidebar and its blue bar, white and
// grey cards, the active card's gradient at its darkest corner (3.6:1) and the switches.
void paintFocusRing(QPainter& painter, const QPainterPath& shape);
// Whether `widget` shows its ring: it has the focus and got there by the keyboard (a mouse
// click or the window's first focus draws none).
bool showsFocusRing(const QWidget& widget);

// Fills the widget's background with one colour (lines, dividers, the window itself).
void fillBackground(QWidget& widget, const QColor& color);

// Draws a widget and its children at reduced opacity (1 removes the effect), except the
// `undimmed` children (text that must stay readable), which it draws at full strength on top,
// and then `overlay` at full opacity in the widget's coordinates (a focus ring that must not
// fade).
void setWidgetOpacity(QWidget& widget, double opacity, std::function<void(QPainter&)> overlay = {},
                      const std::vector<QWidget*>& undimmed = {});

} // namespace vantorelle
