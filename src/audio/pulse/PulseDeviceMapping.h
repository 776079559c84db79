#pragma once

#include "audio/pulse/PulseEndpoint.h"
#include "audio/pulse/PulseServerDefaults.h"
#include "model/AudioDevice.h"
#include "model/Direction.h"

#include <pulse/introspect.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vantorelle::pulse {

// The facts the mirror keeps, copied out of libpulse's info records.
PulseEndpoint endpointOf(const pa_sink_info& info);
PulseEndpoint endpointOf(const pa_source_info& info);
PulseCard cardOf(const pa_card_info& info);
PulseServerDefaults defaultsOf(const pa_server_info& info);
// PipeWire's pulse server, whose defaults its own metadata tells better.
bool isPipeWire(const pa_server_info& info);

// The persistent identity: the endpoint's name, except for Bluetooth, whose endpoint names change
// with the headset's profile; there it is the headset's Bluetooth UID for the direction.
std::string uidOf(const PulseEndpoint& endpoint);

// The description, or nothing when it is empty.
std::optional<std::string> nameOf(const PulseEndpoint& endpoint);

// Monitor sources and the server's "auto_null" placeholders are not devices a user picks.
bool isHiddenEndpoint(const PulseEndpoint& endpoint) noexcept;
// The server's stand-in when it has no real device ("auto_null" and its monitor).
bool isPlaceholderEndpoint(const PulseEndpoint& endpoint) noexcept;

// The machine's own speakers and microphones: on the internal bus or marked internal, not one of
// the digital outputs (HDMI, DisplayPort, S/PDIF) that sit on the same card, and, where the
// endpoint has ports, with its active port on the machine itself rather than a jack.
bool hasBuiltInTransport(const PulseEndpoint& endpoint);

bool isBluetoothEndpoint(const PulseEndpoint& endpoint);

// What the server's form factor, icon name and bus say the device is.
DeviceKind kindOf(const PulseEndpoint& endpoint);

// Can play or record now: an endpoint whose every port is unavailable cannot.
bool isUsableEndpoint(const PulseEndpoint& endpoint) noexcept;

// The one place that decides what the engine sees of an endpoint: nothing for a hidden, unusable
// or channel-less one; otherwise the device, named by its description or else its UID, with a
// per-run handle (the server index, sources with the top bit set, never 0).
std::optional<AudioDevice> deviceOf(const PulseEndpoint& endpoint);

} // namespace vantorelle::pulse
