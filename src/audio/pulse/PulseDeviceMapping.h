#pragma once

#include "audio/AudioSystem.h"
#include "audio/pulse/PulseEndpoint.h"
#include "model/AudioDevice.h"
#include "model/Direction.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantorelle::pulse {

// Where a device id points: a sink (output) or a source (input) by server index.
struct EndpointAddress {
    Direction direction = Direction::output;
    std::uint32_t index = 0;

    bool operator==(const EndpointAddress&) const = default;
};

// Sinks get index + 1, sources the same with the top bit set, so ids are never 0 and never clash
// between the two lists. An index too large for that has no id.
std::optional<AudioObjectID> objectIDOf(EndpointAddress address) noexcept;
std::optional<EndpointAddress> addressOf(AudioObjectID id) noexcept;

// The persistent identity: the endpoint's name, except for Bluetooth, whose endpoint names change
// with the headset's profile; there it is "bluez:<address>:input" or "bluez:<address>:output".
std::string uidOf(const PulseEndpoint& endpoint);

// The description, or nothing when it is empty (the manager then shows the uid).
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

// Can play or record now: an endpoint whose every port is unavailable cannot.
bool isUsableEndpoint(const PulseEndpoint& endpoint) noexcept;

// Everything the manager needs about one endpoint; nothing when it cannot be given an id.
std::optional<RawDevice> rawDeviceOf(const PulseEndpoint& endpoint);

} // namespace vantorelle::pulse
