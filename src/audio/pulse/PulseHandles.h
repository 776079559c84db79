#pragma once

#include <pulse/context.h>
#include <pulse/operation.h>
#include <pulse/proplist.h>
#include <pulse/subscribe.h>

#include <memory>
#include <utility>

namespace vantorelle::pulse {

// Owning handles for every libpulse object we create. None of the releases can fail or throw.

struct ProplistFree {
    void operator()(pa_proplist* list) const noexcept { pa_proplist_free(list); }
};
using Proplist = std::unique_ptr<pa_proplist, ProplistFree>;

// libpulse may keep its own references to a context for a while after we let go of it, so the
// callbacks that point at our objects are detached first: nothing may call back into freed state.
struct ContextRelease {
    void operator()(pa_context* context) const noexcept
    {
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_set_subscribe_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};
using Context = std::unique_ptr<pa_context, ContextRelease>;

// A context named for this program, not yet connected; empty when libpulse refuses.
Context makeContext(pa_mainloop_api* api) noexcept;

// A pending request. Letting go of one that is still running cancels it, so its callback, which
// points at state of the caller, can never run afterwards.
class Operation {
public:
    Operation() noexcept = default;
    explicit Operation(pa_operation* operation) noexcept : operation_(operation) {}
    ~Operation() { reset(); }
    Operation(Operation&& other) noexcept : operation_(std::exchange(other.operation_, nullptr)) {}
    Operation& operator=(Operation&& other) noexcept
    {
        if (this != &other) {
            reset();
            operation_ = std::exchange(other.operation_, nullptr);
        }
        return *this;
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // False when libpulse refused to send the request (the context is not ready).
    bool isValid() const noexcept { return operation_ != nullptr; }
    void reset() noexcept
    {
        if (!operation_) return;
        if (pa_operation_get_state(operation_) == PA_OPERATION_RUNNING) pa_operation_cancel(operation_);
        pa_operation_unref(operation_);
        operation_ = nullptr;
    }

private:
    pa_operation* operation_ = nullptr;
};

// Sends a request whose answer is wanted but not waited for: its callback runs when the answer
// comes, unless the context is disconnected first, which cancels it.
inline void sendDetached(pa_operation* operation) noexcept
{
    if (operation) pa_operation_unref(operation);
}

} // namespace vantorelle::pulse
