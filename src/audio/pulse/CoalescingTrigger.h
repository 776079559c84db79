#pragma once

#include <QTimer>

#include <chrono>
#include <functional>

namespace vantorelle::pulse {

// Turns a burst of triggers into at most two calls: the first trigger fires at once (on the next
// turn of the event loop, never from inside the caller), and whatever arrives within the window
// after it fires once more when the window ends. The window is never extended, so a steady
// stream of triggers still gets delivered. Runs on the thread that owns it; nothing fires after
// it is destroyed or cancelled.
class CoalescingTrigger {
public:
    CoalescingTrigger(std::chrono::milliseconds window, std::function<void()> fire);
    CoalescingTrigger(const CoalescingTrigger&) = delete;
    CoalescingTrigger& operator=(const CoalescingTrigger&) = delete;

    void trigger();
    void cancel();
    // A call is due that has not been made yet.
    bool isPending() const;
    // A call has just been made and none is due: a trigger now adds one at the window's end.
    bool justFired() const { return phase_ == Phase::window && !again_; }

private:
    enum class Phase { idle, due, window };
    void timedOut();

    std::function<void()> fire_;
    std::chrono::milliseconds window_;
    Phase phase_ = Phase::idle;
    bool again_ = false;
    QTimer timer_;
};

} // namespace vantorelle::pulse
