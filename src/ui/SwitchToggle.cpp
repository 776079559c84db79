#include "ui/SwitchToggle.h"

#include "ui/Drawing.h"
#include "ui/Palette.h"

#include <QPainter>
#include <QVariantAnimation>

namespace vantorelle {

namespace {

QColor blend(const QColor& from, const QColor& to, double t)
{
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return QColor::fromRgbF(static_cast<float>(mix(from.redF(), to.redF())),
                            static_cast<float>(mix(from.greenF(), to.greenF())),
                            static_cast<float>(mix(from.blueF(), to.blueF())),
                            static_cast<float>(mix(from.alphaF(), to.alphaF())));
}

} // namespace

SwitchToggle::SwitchToggle(QWidget* parent)
    : QAbstractButton(parent), animation_(new QVariantAnimation(this))
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    animation_->setDuration(120);
    animation_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        position_ = value.toDouble();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, &SwitchToggle::followCheckedState);
}

QSize SwitchToggle::sizeHint() const
{
    return {trackWidth, trackHeight};
}

bool SwitchToggle::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void SwitchToggle::followCheckedState(bool checked)
{
    const double target = checked ? 1.0 : 0.0;
    animation_->stop();
    if (!isVisible()) {
        position_ = target;
        update();
        return;
    }
    animation_->setStartValue(position_);
    animation_->setEndValue(target);
    animation_->start();
}

void SwitchToggle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.5);

    // When the toggle gets the state while hidden and no animation ran, draw the state itself.
    const double position = animation_->state() == QAbstractAnimation::Running ? position_ : (isChecked() ? 1.0 : 0.0);

    const QRectF track = QRectF(0, 0, trackWidth, trackHeight).translated(
        (width() - trackWidth) / 2.0, (height() - trackHeight) / 2.0);
    painter.fillPath(capsule(track), blend(QColor(0, 0, 0, 26), Palette::switchGreen, position));
    if (isDown()) painter.fillPath(capsule(track), QColor(0, 0, 0, 18));

    const double inset = 1.5;
    const double knob = track.height() - 2 * inset;
    const double travel = track.width() - 2 * inset - knob;
    const QRectF knobRect(track.left() + inset + travel * position, track.top() + inset, knob, knob);
    QPainterPath knobShape;
    knobShape.addEllipse(knobRect);
    paintShadow(painter, knobShape, ShadowSpec{QColor(0, 0, 0, 60), 0.8, QPointF(0, 0.5)});
    painter.fillPath(knobShape, Qt::white);

    if (showsFocusRing(*this)) paintFocusRing(painter, capsule(track));
}

} // namespace vantorelle
