#pragma once

#include <QTimer>

#include <chrono>
#include <functional>

namespace vantorelle::pulse {

// Turns a burst of triggers into one call. The first trigger opens a window; triggers inside it
// join it. The window is never extended, so a steady stream of triggers still gets delivered.
// Runs on the thread that owns it; nothing fires after it is destroyed or cancelled.
class CoalescingTrigger {
public:
    CoalescingTrigger(std::chrono::milliseconds window, std::function<void()> fire);
    CoalescingTrigger(const CoalescingTrigger&) = delete;
    CoalescingTrigger& operator=(const CoalescingTrigger&) = delete;

    void trigger();
    void cancel();
    bool isPending() const;

private:
    std::function<void()> fire_;
    QTimer timer_;
};

} // namespace vantorelle::pulse
