#pragma once

#include "audio/pulse/PulseDeviceMapping.h"
#include "audio/pulse/PulseEndpoint.h"
#include "audio/pulse/PulseHandles.h"
#include "audio/pulse/PulseServerDefaults.h"

#include <pulse/introspect.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle::pulse {

// The answer to a list or lookup request, filled by libpulse's callbacks. `isComplete` is set
// only when the server reported the end of the list without an error.
struct EndpointReply {
    std::vector<PulseEndpoint> endpoints;
    bool isComplete = false;
    bool failed = false;
};

struct CardReply {
    std::vector<std::uint32_t> cards; // indices
    bool isComplete = false;
    bool failed = false;
};

struct ServerReply {
    std::optional<PulseServerDefaults> defaults;
    bool isPipeWire = false;
};

struct SuccessReply {
    std::optional<bool> accepted;
};

PulseEndpoint endpointOf(const pa_sink_info& info);
PulseEndpoint endpointOf(const pa_source_info& info);
PulseServerDefaults defaultsOf(const pa_server_info& info);
// PipeWire's pulse server, which can leave long-lived connections with stale defaults.
bool isPipeWire(const pa_server_info& info);

// Each request writes into its reply until the returned operation finishes or is let go of; the
// reply must outlive the operation. An invalid operation means the request was not sent.
Operation requestSinks(pa_context* context, EndpointReply& reply) noexcept;
Operation requestSources(pa_context* context, EndpointReply& reply) noexcept;
Operation requestEndpoint(pa_context* context, EndpointAddress address, EndpointReply& reply) noexcept;
Operation requestEndpointNamed(pa_context* context, Direction direction, const std::string& name,
                               EndpointReply& reply) noexcept;
Operation requestCards(pa_context* context, CardReply& reply) noexcept;
Operation requestServerDefaults(pa_context* context, ServerReply& reply) noexcept;
Operation requestSetDefault(pa_context* context, Direction direction, const std::string& name,
                            SuccessReply& reply) noexcept;

} // namespace vantorelle::pulse
