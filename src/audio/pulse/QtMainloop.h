#pragma once

#include <pulse/mainloop-api.h>

#include <memory>
#include <vector>

namespace vantorelle::pulse {

// libpulse's main loop interface on the Qt event dispatcher of the creating thread: file
// descriptors on socket notifiers, time events on timers, deferred events on zero timers. So
// libpulse runs under whichever dispatcher Qt uses (GLib's or its own), and its callbacks run
// on that thread between other events. Freeing an event, also from inside its own callback,
// stops it at once and calls its destroy callback; its memory goes once no callback of it is
// running. Events still alive when the loop goes are destroyed the same way, so let go of the
// contexts that use the loop first, and never from inside one of its callbacks.
class QtMainloop {
public:
    QtMainloop() noexcept;
    ~QtMainloop();
    QtMainloop(const QtMainloop&) = delete;
    QtMainloop& operator=(const QtMainloop&) = delete;

    pa_mainloop_api* api() noexcept { return &api_; }

    class Event;

private:
    void erase(const Event* event) noexcept;

    pa_mainloop_api api_{};
    std::vector<std::unique_ptr<Event>> events_;
};

using QtMainloopHandle = std::unique_ptr<QtMainloop>;
// Empty only when memory runs out.
QtMainloopHandle makeQtMainloop() noexcept;
inline pa_mainloop_api* apiOf(QtMainloop* loop) noexcept { return loop->api(); }

} // namespace vantorelle::pulse
