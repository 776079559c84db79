#include "ui/Drawing.h"

#include "ui/Palette.h"

#include <QGraphicsEffect>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace vantorelle {

namespace {

// The drawn shadow's blur is a Gaussian whose spread equals the radius; three box blurs
// approximate it.
constexpr int blurPasses = 3;

int boxWidth(double sigma)
{
    const double ideal = std::sqrt(12.0 * sigma * sigma / blurPasses + 1.0);
    return std::max(1, static_cast<int>(std::lround(ideal)) | 1);
}

// One horizontal or vertical running-average pass over the alpha channel.
void boxBlur(std::vector<float>& alpha, int width, int height, int box, bool horizontal)
{
    const int half = box / 2;
    const int length = horizontal ? width : height;
    const int lines = horizontal ? height : width;
    std::vector<float> line(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> float& {
            return horizontal ? alpha[static_cast<std::size_t>(l * width + i)]
                              : alpha[static_cast<std::size_t>(i * width + l)];
        };
        for (int i = 0; i < length; ++i) line[static_cast<std::size_t>(i)] = at(i);
        float sum = 0.0F;
        auto sample = [&](int i) { return i < 0 || i >= length ? 0.0F : line[static_cast<std::size_t>(i)]; };
        for (int i = -half; i <= half; ++i) sum += sample(i);
        for (int i = 0; i < length; ++i) {
            at(i) = sum / static_cast<float>(box);
            sum += sample(i + half + 1) - sample(i - half);
        }
    }
}

} // namespace

QPainterPath continuousRoundedRect(const QRectF& rect, double radius)
{
    QPainterPath path;
    if (rect.isEmpty()) return path;
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2.0);
    if (r <= 0.0) {
        path.addRect(rect);
        return path;
    }
    // Each corner starts a little further along the edge than a circular arc would and bends
    // through one cubic curve whose handles sit near the corner.
    const double reach = std::min(r * 1.28, std::min(rect.width(), rect.height()) / 2.0);
    const double handle = reach * 0.36;
    const double l = rect.left(), t = rect.top(), rr = rect.right(), b = rect.bottom();
    path.moveTo(l + reach, t);
    path.lineTo(rr - reach, t);
    path.cubicTo(rr - handle, t, rr, t + handle, rr, t + reach);
    path.lineTo(rr, b - reach);
    path.cubicTo(rr, b - handle, rr - handle, b, rr - reach, b);
    path.lineTo(l + reach, b);
    path.cubicTo(l + handle, b, l, b - handle, l, b - reach);
    path.lineTo(l, t + reach);
    path.cubicTo(l, t + handle, l + handle, t, l + reach, t);
    path.closeSubpath();
    return path;
}

QPainterPath capsule(const QRectF& rect)
{
    QPainterPath path;
    const double r = std::min(rect.width(), rect.height()) / 2.0;
    path.addRoundedRect(rect, r, r);
    return path;
}

QMargins shadowMargins(const ShadowSpec& shadow)
{
    const int spread = static_cast<int>(std::ceil(shadow.radius * 3.0));
    const auto dx = static_cast<int>(std::ceil(std::abs(shadow.offset.x())));
    const auto dy = static_cast<int>(std::ceil(std::abs(shadow.offset.y())));
    return {spread + dx, spread + dy, spread + dx, spread + dy};
}

void paintShadow(QPainter& painter, const QPainterPath& shape, const ShadowSpec& shadow)
{
    if (shape.isEmpty() || shadow.color.alpha() == 0) return;
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QMargins margins = shadowMargins(shadow);
    const QRectF area = shape.boundingRect().marginsAdded(QMarginsF(margins)).translated(shadow.offset);
    const int width = std::max(1, static_cast<int>(std::ceil(area.width() * ratio)));
    const int height = std::max(1, static_cast<int>(std::ceil(area.height() * ratio)));

    QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHint(QPainter::Antialiasing);
        maskPainter.scale(ratio, ratio);
        maskPainter.translate(-area.topLeft() + shadow.offset);
        maskPainter.fillPath(shape, Qt::black);
    }
    if (shadow.radius > 0.0) {
        std::vector<float> alpha(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < width; ++x) alpha[static_cast<std::size_t>(y * width + x)] = static_cast<float>(qAlpha(row[x]));
        }
        const int box = boxWidth(shadow.radius * ratio);
        for (int pass = 0; pass < blurPasses; ++pass) {
            boxBlur(alpha, width, height, box, true);
            boxBlur(alpha, width, height, box, false);
        }
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(mask.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const int a = std::clamp(static_cast<int>(std::lround(alpha[static_cast<std::size_t>(y * width + x)])), 0, 255);
                row[x] = qRgba(0, 0, 0, a);
            }
        }
    }
    {
        QPainter tint(&mask);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(mask.rect(), shadow.color);
    }
    mask.setDevicePixelRatio(ratio);
    painter.drawImage(area.topLeft(), mask);
}

QRectF shadowArea(const QPainterPath& shape, const ShadowSpec& shadow)
{
    return shape.boundingRect().marginsAdded(QMarginsF(shadowMargins(shadow))).translated(shadow.offset).toAlignedRect();
}

bool CachedShadow::holds(const QPainterPath& shape, const ShadowSpec& shadow, double ratio) const
{
    return !image_.isNull() && ratio == ratio_ && shadow == shadow_
        && shape.translated(-shadowArea(shape, shadow).topLeft()) == shape_;
}

void CachedShadow::paint(QPainter& painter, const QPainterPath& shape, const ShadowSpec& shadow)
{
    if (shape.isEmpty() || shadow.color.alpha() == 0) return;
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QRectF area = shadowArea(shape, shadow);
    if (!holds(shape, shadow, ratio)) {
        shape_ = shape.translated(-area.topLeft());
        shadow_ = shadow;
        ratio_ = ratio;
        image_ = QImage(static_cast<int>(std::ceil(area.width() * ratio)), static_cast<int>(std::ceil(area.height() * ratio)),
                        QImage::Format_ARGB32_Premultiplied);
        image_.setDevicePixelRatio(ratio);
        image_.fill(Qt::transparent);
        QPainter imagePainter(&image_);
        imagePainter.setRenderHint(QPainter::Antialiasing);
        paintShadow(imagePainter, shape_, shadow);
    }
    painter.drawImage(area.topLeft(), image_);
}

void paintFocusRing(QPainter& painter, const QPainterPath& shape)
{
    painter.save();
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::Antialiasing);
    // Twice the width, clipped to the shape: the ring lies whole inside it.
    painter.setClipPath(shape, Qt::IntersectClip);
    painter.setPen(QPen(Palette::text, 4.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    painter.restore();
}

bool showsFocusRing(const QWidget& widget)
{
    return widget.hasFocus() && widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

namespace {

// On a part that its dimmed parent draws at full strength: while the parent takes its dimmed
// picture, the part is kept for later instead of drawn into it.
class HeldBackEffect final : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

    void holdBack(bool held) noexcept { held_ = held; }
    // What was kept (none when the part was not drawn), and where, in the part's coordinates.
    std::optional<std::pair<QPixmap, QPoint>> takeKept() { return std::exchange(kept_, std::nullopt); }

protected:
    void draw(QPainter* painter) override
    {
        if (!held_) {
            drawSource(painter);
            return;
        }
        QPoint offset;
        QPixmap picture = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
        kept_.emplace(std::move(picture), offset);
    }

private:
    bool held_ = false;
    std::optional<std::pair<QPixmap, QPoint>> kept_;
};

HeldBackEffect* heldBackEffect(QWidget* part)
{
    return part != nullptr ? dynamic_cast<HeldBackEffect*>(part->graphicsEffect()) : nullptr;
}

// The widget with its children as one picture at an opacity, as the toolkit's opacity effect
// draws it, and then what must stay at full strength: the undimmed parts, then the overlay.
class DimmingEffect final : public QGraphicsEffect {
public:
    DimmingEffect(double opacity, std::function<void(QPainter&)> overlay, const std::vector<QWidget*>& undimmed,
                  QWidget* parent)
        : QGraphicsEffect(parent), widget_(parent), opacity_(opacity), overlay_(std::move(overlay)),
          undimmed_(undimmed.begin(), undimmed.end())
    {
    }

protected:
    void draw(QPainter* painter) override
    {
        holdBack(true);
        QPoint offset;
        const QPixmap picture = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::PadToEffectiveBoundingRect);
        holdBack(false);
        painter->save();
        painter->setOpacity(painter->opacity() * opacity_);
        painter->drawPixmap(offset, picture);
        painter->restore();
        for (QWidget* part : undimmed_) {
            HeldBackEffect* const effect = heldBackEffect(part);
            if (effect == nullptr) continue;
            if (const auto kept = effect->takeKept()) painter->drawPixmap(part->mapTo(widget_, kept->second), kept->first);
        }
        if (overlay_) overlay_(*painter);
    }

private:
    void holdBack(bool held)
    {
        for (QWidget* part : undimmed_) {
            if (HeldBackEffect* const effect = heldBackEffect(part)) effect->holdBack(held);
        }
    }

    QWidget* widget_;
    double opacity_;
    std::function<void(QPainter&)> overlay_;
    std::vector<QPointer<QWidget>> undimmed_;
};

} // namespace

void setWidgetOpacity(QWidget& widget, double opacity, std::function<void(QPainter&)> overlay,
                      const std::vector<QWidget*>& undimmed)
{
    const bool dimmed = opacity < 1.0;
    for (QWidget* part : undimmed) {
        const bool held = heldBackEffect(part) != nullptr;
        if (dimmed && !held) part->setGraphicsEffect(new HeldBackEffect(part));
        if (!dimmed && held) part->setGraphicsEffect(nullptr);
    }
    if (!dimmed) {
        widget.setGraphicsEffect(nullptr);
        return;
    }
    widget.setGraphicsEffect(new DimmingEffect(std::max(opacity, 0.0), std::move(overlay), undimmed, &widget));
}

void fillBackground(QWidget& widget, const QColor& color)
{
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, color);
    widget.setPalette(palette);
}

} // namespace vantorelle
