#pragma once

#include "audio/pulse/PulseAudioOptions.h"
#include "audio/pulse/PulseServerDefaults.h"
#include "audio/pulse/PulseEndpoint.h"

#include <functional>
#include <memory>

namespace vantorelle::pulse {

// What a listening connection tells its owner, on the owner's thread.
struct PulseEventHandlers {
    std::function<void()> deviceListChange;
    std::function<void(const PulseServerDefaults&)> defaultChange; // with the new defaults
    // Stands in for the change after each (re)connection and each Bluetooth profile change.
    std::function<void()> quietDeviceListChange;
    // Whether the owner's latest look saw this endpoint (same index and name): its "new" event
    // is then no news.
    std::function<bool(const PulseEndpoint&)> lookedAt;
};

// The server's events, kept apart from the queries so that a program that only asks (the
// reports) needs no event loop and links none.
class PulseEventSource {
public:
    virtual ~PulseEventSource() = default;
    virtual void start() = 0;
    // Reports a device-list change as soon as the server answers a request sent now.
    virtual void requestResync() noexcept = 0;
    // Subscribed, and the current defaults are known: from here on, no change is missed.
    virtual bool isReady() const noexcept = 0;
};

using PulseEventSourceFactory =
    std::function<std::unique_ptr<PulseEventSource>(const PulseAudioOptions&, PulseEventHandlers)>;

} // namespace vantorelle::pulse
