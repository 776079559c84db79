// Shared by the benchmark probes: a libpulse loop run until a flag holds, and the probe's one
// connection, subscribed to every event.
#pragma once

#include <pulse/pulseaudio.h>

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

// Connected and subscribed to everything, each event to `onEvent`; nothing when the server
// does not answer.
inline pa_context* connectSubscribed(pa_mainloop* loop, const char* name, pa_context_subscribe_cb_t onEvent,
                                     void* userdata)
{
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), name);
    pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    while (pa_context_get_state(context) != PA_CONTEXT_READY) {
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
            pa_context_unref(context);
            return nullptr;
        }
        pa_mainloop_iterate(loop, 1, nullptr);
    }
    pa_context_set_subscribe_callback(context, onEvent, userdata);
    bool done = false;
    const auto onDone = [](pa_context*, int, void* flag) { *static_cast<bool*>(flag) = true; };
    pa_operation_unref(pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_ALL, onDone, &done));
    iterateUntil(loop, done);
    return context;
}

} // namespace probe
