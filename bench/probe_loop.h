// Shared by the benchmark probes: a libpulse loop run until a flag holds.
#pragma once

#include <pulse/mainloop.h>

#include <chrono>
#include <optional>

namespace probe {

using Clock = std::chrono::steady_clock;

// Runs `loop` until `flag` holds; false when `deadline` came first.
inline bool iterateUntil(pa_mainloop* loop, const bool& flag, std::optional<Clock::time_point> deadline = std::nullopt)
{
    while (!flag) {
        int timeout = -1;
        if (deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(*deadline - Clock::now());
            if (left.count() <= 0) return false;
            timeout = int(left.count());
        }
        pa_mainloop_prepare(loop, timeout);
        pa_mainloop_poll(loop);
        pa_mainloop_dispatch(loop);
    }
    return true;
}

} // namespace probe
