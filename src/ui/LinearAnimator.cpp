#include "ui/LinearAnimator.h"

#include <QVariantAnimation>

namespace vantorelle {

LinearAnimator::LinearAnimator(std::chrono::milliseconds duration, QObject* parent)
    : QObject(parent), animation_(new QVariantAnimation(this))
{
    animation_->setDuration(static_cast<int>(duration.count()));
    animation_->setEasingCurve(QEasingCurve::Linear);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setValue(value.toDouble()); });
}

bool LinearAnimator::isRunning() const
{
    return animation_->state() == QAbstractAnimation::Running;
}

void LinearAnimator::animateTo(double target)
{
    target_ = target;
    animation_->stop();
    if (target == value_) return;
    animation_->setStartValue(value_);
    animation_->setEndValue(target);
    animation_->start();
}

void LinearAnimator::jumpTo(double value)
{
    animation_->stop();
    target_ = value;
    setValue(value);
}

void LinearAnimator::setValue(double value)
{
    if (value == value_) return;
    value_ = value;
    emit valueChanged(value_);
}

} // namespace vantorelle
