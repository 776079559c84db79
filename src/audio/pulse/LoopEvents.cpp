#include "audio/pulse/LoopEvents.h"

#include <pulse/timeval.h>

#include <algorithm>
#include <climits>

namespace vantorelle::pulse {

bool BlockingLoop::runUntil(const std::function<bool()>& done,
                            std::chrono::steady_clock::time_point deadline) noexcept
{
    using namespace std::chrono;
    try {
        while (!done()) {
            const auto left = duration_cast<microseconds>(deadline - steady_clock::now());
            if (!loop_ || left.count() <= 0) return false;
            const int timeout = static_cast<int>(std::min<microseconds::rep>(left.count(), INT_MAX));
            if (pa_mainloop_prepare(loop_.get(), timeout) < 0) return false;
            if (pa_mainloop_poll(loop_.get()) < 0) return false;
            if (pa_mainloop_dispatch(loop_.get()) < 0) return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

DeferredCall::DeferredCall(pa_mainloop_api* api, std::function<void()> fire) noexcept
    : api_(api), fire_(std::move(fire))
{
    if (api_) event_ = api_->defer_new(api_, &DeferredCall::onFire, this);
    if (event_) api_->defer_enable(event_, 0);
}

DeferredCall::~DeferredCall()
{
    if (event_) api_->defer_free(event_);
}

void DeferredCall::enable(bool on) noexcept
{
    if (event_) api_->defer_enable(event_, on ? 1 : 0);
}

void DeferredCall::onFire(pa_mainloop_api*, pa_defer_event*, void* userdata) noexcept
{
    auto& self = *static_cast<DeferredCall*>(userdata);
    self.enable(false);
    try {
        if (self.fire_) self.fire_();
    } catch (...) {
        // Nothing may cross into libpulse's loop.
    }
}

LoopTimer::LoopTimer(pa_mainloop_api* api, std::function<void()> fire) noexcept
    : api_(api), fire_(std::move(fire))
{
}

LoopTimer::~LoopTimer()
{
    if (event_) api_->time_free(event_);
}

void LoopTimer::startAt(std::chrono::steady_clock::time_point when) noexcept
{
    using namespace std::chrono;
    if (!api_) return;
    // libpulse's loops take wall-clock deadlines.
    const auto wait = std::max(duration_cast<microseconds>(when - steady_clock::now()), microseconds(0));
    timeval deadline{};
    pa_gettimeofday(&deadline);
    pa_timeval_add(&deadline, static_cast<pa_usec_t>(wait.count()));
    if (event_) api_->time_restart(event_, &deadline);
    else event_ = api_->time_new(api_, &deadline, &LoopTimer::onFire, this);
    active_ = event_ != nullptr;
}

void LoopTimer::stop() noexcept
{
    if (event_) api_->time_restart(event_, nullptr);
    active_ = false;
}

void LoopTimer::onFire(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) noexcept
{
    auto& self = *static_cast<LoopTimer*>(userdata);
    self.stop();
    try {
        if (self.fire_) self.fire_();
    } catch (...) {
        // As above.
    }
}

} // namespace vantorelle::pulse
