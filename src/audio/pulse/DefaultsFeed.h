#pragma once

#include "audio/pulse/PulseServerDefaults.h"

#include <pulse/mainloop-api.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantorelle::pulse {

// A view of the server's defaults more current than the pulse protocol's: PipeWire's own record,
// which a long-lived pulse connection to PipeWire can see late or not at all.
class DefaultsFeed {
public:
    virtual ~DefaultsFeed() = default;
    // Nothing while it cannot tell (not connected yet, or not there).
    virtual std::optional<PulseServerDefaults> defaults() const = 0;
    // Called on the loop after each change of what defaults() answers.
    virtual void setOnChange(std::function<void()> onChange) = 0;
    // The server may have been replaced: connect anew unless the connection works.
    virtual void reconnect() noexcept = 0;
    // Sends a stream (its node) to the device named `target`, or to follow the default when that
    // is empty, leaving the session manager no memory of it; false when it cannot be asked.
    virtual bool setStreamTarget(std::uint32_t /*node*/, const std::string& /*target*/) noexcept { return false; }
};
using DefaultsFeedFactory = std::function<std::unique_ptr<DefaultsFeed>(pa_mainloop_api*)>;

} // namespace vantorelle::pulse
