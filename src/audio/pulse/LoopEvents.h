#pragma once

#include <pulse/mainloop-api.h>
#include <pulse/mainloop.h>

#include <chrono>
#include <functional>
#include <memory>

namespace vantorelle::pulse {

// The loop a connection runs on: the application's (on Qt) or a private one (the reports). It
// outlives everything made on it.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    virtual pa_mainloop_api* api() noexcept = 0;
};

// A private libpulse loop, run only while a caller waits on it, so nothing runs re-entrantly.
class BlockingLoop final : public EventLoop {
public:
    BlockingLoop() noexcept : loop_(pa_mainloop_new()) {}
    pa_mainloop_api* api() noexcept override { return loop_ ? pa_mainloop_get_api(loop_.get()) : nullptr; }
    // Runs the loop until `done` or the deadline; whether `done` came.
    bool runUntil(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline) noexcept;

private:
    struct Free {
        void operator()(pa_mainloop* loop) const noexcept { pa_mainloop_free(loop); }
    };
    std::unique_ptr<pa_mainloop, Free> loop_;
};

// A deferred event: runs its callback on the loop's next turn while enabled.
class DeferredCall {
public:
    DeferredCall(pa_mainloop_api* api, std::function<void()> fire) noexcept;
    ~DeferredCall();
    DeferredCall(const DeferredCall&) = delete;
    DeferredCall& operator=(const DeferredCall&) = delete;
    void enable(bool on) noexcept;

private:
    static void onFire(pa_mainloop_api* api, pa_defer_event* event, void* userdata) noexcept;
    pa_mainloop_api* api_;
    std::function<void()> fire_;
    pa_defer_event* event_ = nullptr;
};

// A one-shot timer; nothing fires after stop() or destruction.
class LoopTimer {
public:
    LoopTimer(pa_mainloop_api* api, std::function<void()> fire) noexcept;
    ~LoopTimer();
    LoopTimer(const LoopTimer&) = delete;
    LoopTimer& operator=(const LoopTimer&) = delete;
    void startAt(std::chrono::steady_clock::time_point when) noexcept;
    void stop() noexcept;
    bool isActive() const noexcept { return active_; }

private:
    static void onFire(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* userdata) noexcept;
    pa_mainloop_api* api_;
    std::function<void()> fire_;
    pa_time_event* event_ = nullptr;
    bool active_ = false;
};

} // namespace vantorelle::pulse
