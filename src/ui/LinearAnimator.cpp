#include "ui/LinearAnimator.h"

namespace vantorelle {

namespace {

constexpr double frameMs = static_cast<double>(LinearAnimator::frameInterval.count());

} // namespace

LinearAnimator::LinearAnimator(std::chrono::milliseconds duration, QObject* parent)
    : QObject(parent), duration_(static_cast<double>(duration.count()))
{
    clock_.start();
    frames_.setSingleShot(true);
    frames_.setTimerType(Qt::PreciseTimer);
    frames_.setInterval(frameInterval);
    connect(&frames_, &QTimer::timeout, this, &LinearAnimator::frame);
}

bool LinearAnimator::isRunning() const
{
    return frames_.isActive();
}

double LinearAnimator::now() const
{
    return static_cast<double>(clock_.nsecsElapsed()) / 1e6;
}

double LinearAnimator::positionAt(double time) const
{
    const double elapsed = time - startedAt_;
    return elapsed >= duration_ ? target_ : from_ + (target_ - from_) * elapsed / duration_;
}

void LinearAnimator::animateTo(double target)
{
    const double time = now();
    double position = value_;
    if (isRunning()) {
        position = positionAt(time);
        if (time - shownAt_ >= frameMs) show(position, time);
    }
    from_ = position;
    target_ = target;
    startedAt_ = time;
    if (target == position && target == value_) {
        frames_.stop();
        return;
    }
    // Started again at every target: while targets come faster than frames, they bring them.
    frames_.start();
}

void LinearAnimator::jumpTo(double value)
{
    frames_.stop();
    target_ = value;
    show(value, now());
}

void LinearAnimator::frame()
{
    const double time = now();
    show(positionAt(time), time);
    if (value_ != target_) frames_.start();
}

void LinearAnimator::show(double value, double time)
{
    shownAt_ = time;
    if (value == value_) return;
    value_ = value;
    emit valueChanged(value_);
}

} // namespace vantorelle
