#include "audio/pulse/CoalescingTrigger.h"

namespace vantorelle::pulse {

CoalescingTrigger::CoalescingTrigger(std::chrono::milliseconds window, std::function<void()> fire)
    : fire_(std::move(fire)), window_(window)
{
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { timedOut(); });
}

void CoalescingTrigger::trigger()
{
    switch (phase_) {
    case Phase::idle:
        phase_ = Phase::due;
        timer_.start(0);
        break;
    case Phase::due:
        break;
    case Phase::window:
        again_ = true;
        break;
    }
}

void CoalescingTrigger::timedOut()
{
    if (phase_ == Phase::window && !again_) {
        phase_ = Phase::idle;
        return;
    }
    // The window opens before the call, so triggers raised while it runs join the next one.
    again_ = false;
    phase_ = Phase::window;
    timer_.start(window_);
    if (fire_) fire_();
}

void CoalescingTrigger::cancel()
{
    timer_.stop();
    phase_ = Phase::idle;
    again_ = false;
}

bool CoalescingTrigger::isPending() const
{
    return phase_ == Phase::due || (phase_ == Phase::window && again_);
}

} // namespace vantorelle::pulse
