#pragma once

#include "audio/pulse/LoopEvents.h"

#include <pulse/mainloop-api.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

namespace vantorelle::pulse {

// Tells the owner of the server's changes on the loop's turn after they came, never from inside
// libpulse: the first device-list change at once, whatever follows within the coalescing window
// once more at its end. A default change that comes with a device-list change (the server picking
// a fallback for a device that went, before or after telling that it went) or while
// `foldsDefaults` holds is the pass's to read. A pass waits while `readingDefaults` holds: a
// default the server changed with the plug (its own switch-on-connect) is read before the pass.
// A waiter for the sets runs once every set made before it has been answered (answers come in
// the order of the requests). Nothing is delivered after destruction.
class ChangeDelivery {
public:
    struct Handlers {
        std::function<void(bool quiet)> deviceListChange;
        std::function<void()> defaultChange;
    };

    // How long a default change waits for a device-list change it may come with.
    static constexpr std::chrono::milliseconds defaultChangeHold{50};

    ChangeDelivery(pa_mainloop_api* api, std::chrono::milliseconds window, std::function<bool()> foldsDefaults,
                   std::function<bool()> readingDefaults);
    ChangeDelivery(const ChangeDelivery&) = delete;
    ChangeDelivery& operator=(const ChangeDelivery&) = delete;

    void setHandlers(Handlers handlers) { handlers_ = std::move(handlers); }
    void deviceListChanged(bool news);
    void defaultsChanged();
    // `readingDefaults` no longer holds: a pass that waited for it goes now.
    void defaultsRead();
    void whenSettled(std::function<void()> then);
    void setSent() noexcept { ++sent_; }
    void setAnswered();
    // The connection is gone: no answer is to come for any set.
    void setsLost();

private:
    enum class Pass { none, quiet, news };
    void deliver();
    void deliverDefaultChange();

    std::chrono::milliseconds window_;
    std::function<bool()> foldsDefaults_;
    std::function<bool()> readingDefaults_;
    Handlers handlers_;
    Pass pendingPass_ = Pass::none;
    bool pendingDefaultChange_ = false;
    std::uint64_t sent_ = 0;
    std::uint64_t answered_ = 0;
    std::optional<std::chrono::steady_clock::time_point> windowEnds_;
    // Each with the count of sets made before it.
    std::deque<std::pair<std::uint64_t, std::function<void()>>> waiters_;
    DeferredCall wake_;
    LoopTimer windowTimer_;
    LoopTimer defaultTimer_;
};

} // namespace vantorelle::pulse
