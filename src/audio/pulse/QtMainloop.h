#pragma once

#include "audio/pulse/LoopEvents.h"

#include <pulse/mainloop-api.h>

#include <memory>
#include <vector>

namespace vantorelle::pulse {

// libpulse's main loop interface on the Qt event dispatcher of the creating thread: file
// descriptors on socket notifiers, time events on timers, deferred events on zero timers. So
// libpulse runs under whichever dispatcher Qt uses (GLib's or its own), and its callbacks run
// on that thread between other events. Freeing an event, also from inside its own callback,
// stops it and calls its destroy callback at once; its memory goes once no callback of it is
// running. (A file descriptor's event freed inside a callback keeps its notifiers, silent,
// until that callback ends, so that a new one for the same descriptor can take them on.)
// Events still alive when the loop goes are destroyed the same way, so let go of the contexts
// that use the loop first, and never from inside one of its callbacks.
class QtMainloop final : public EventLoop {
public:
    QtMainloop() noexcept;
    ~QtMainloop() override;
    QtMainloop(const QtMainloop&) = delete;
    QtMainloop& operator=(const QtMainloop&) = delete;

    pa_mainloop_api* api() noexcept override { return &api_; }

    class Event;

private:
    // A freed event: stopped, and gone once none of its callbacks runs.
    void release(Event& event) noexcept;
    // A freed input/output event of `fd` that still watches it, for a new owner.
    Event* adopt(int fd) noexcept;
    // The end of a callback; the outermost one stops what no one took on and erases the dead.
    void leave() noexcept;

    pa_mainloop_api api_{};
    std::vector<std::unique_ptr<Event>> events_;
    // Callbacks running, nested ones included.
    int depth_ = 0;
    std::vector<Event*> retired_;
};

using QtMainloopHandle = std::unique_ptr<QtMainloop>;
// Empty only when memory runs out.
QtMainloopHandle makeQtMainloop() noexcept;

} // namespace vantorelle::pulse
