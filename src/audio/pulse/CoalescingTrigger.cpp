#include "audio/pulse/CoalescingTrigger.h"

namespace vantorelle::pulse {

CoalescingTrigger::CoalescingTrigger(std::chrono::milliseconds window, std::function<void()> fire)
    : fire_(std::move(fire))
{
    timer_.setSingleShot(true);
    timer_.setInterval(window);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (fire_) fire_();
    });
}

void CoalescingTrigger::trigger()
{
    if (!timer_.isActive()) timer_.start();
}

void CoalescingTrigger::cancel()
{
    timer_.stop();
}

bool CoalescingTrigger::isPending() const
{
    return timer_.isActive();
}

} // namespace vantorelle::pulse
