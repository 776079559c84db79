#pragma once

#include "audio/pulse/PulseEndpoint.h"
#include "audio/pulse/PulseServerDefaults.h"

#include <pulse/introspect.h>

namespace vantorelle::pulse {

// The facts the mirror keeps, copied out of libpulse's info records.
PulseEndpoint endpointOf(const pa_sink_info& info);
PulseEndpoint endpointOf(const pa_source_info& info);
PulseCard cardOf(const pa_card_info& info);
PulseServerDefaults defaultsOf(const pa_server_info& info);
// PipeWire's pulse server, whose defaults its own metadata tells better.
bool isPipeWire(const pa_server_info& info);

} // namespace vantorelle::pulse
