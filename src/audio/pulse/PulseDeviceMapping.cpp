#include "audio/pulse/PulseDeviceMapping.h"

#include <pulse/def.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace vantorelle::pulse {

namespace {

constexpr AudioObjectID sourceBit = 0x80000000u;

std::string lowercase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

template <std::size_t N>
bool mentionsAny(std::string_view text, const std::array<std::string_view, N>& markers)
{
    const std::string lower = lowercase(text);
    return std::any_of(markers.begin(), markers.end(), [&lower](std::string_view marker) {
        return lower.find(marker) != std::string::npos;
    });
}

bool mentionsDigitalLink(std::string_view text)
{
    static constexpr std::array<std::string_view, 6> markers{
        "hdmi", "displayport", "display-port", "iec958", "spdif", "s/pdif"};
    return mentionsAny(text, markers);
}

// A profile that exposes the card's raw channels says nothing about what is wired to them.
bool isProAudio(const PulseEndpoint& endpoint)
{
    return endpoint.profileName == "pro-audio" || endpoint.name.find(".pro-") != std::string::npos;
}

// The active port decides on cards whose jacks and the machine's own speakers and microphones
// share one endpoint family: a headset or microphone in the jack is not part of the machine.
bool isMachinesOwnPort(const PulseEndpoint& endpoint)
{
    const std::string text = endpoint.activePort + ' ' + endpoint.activePortDescription;
    static constexpr std::array<std::string_view, 6> jacks{
        "headphone", "headset", "line", "jack", "front-mic", "rear-mic"};
    static constexpr std::array<std::string_view, 6> internalMic{
        "internal", "int-mic", "dmic", "digital mic", "built-in", "builtin"};
    switch (endpoint.activePortType) {
    case PA_DEVICE_PORT_TYPE_SPEAKER:
        return true;
    case PA_DEVICE_PORT_TYPE_UNKNOWN:
        if (mentionsAny(text, jacks)) return false;
        if (endpoint.direction == Direction::input && lowercase(text).find("mic") != std::string::npos) {
            return mentionsAny(text, internalMic);
        }
        return true; // a port that says nothing: the card's facts stand
    case PA_DEVICE_PORT_TYPE_MIC:
        return !mentionsAny(text, jacks) && mentionsAny(text, internalMic);
    default:
        return false; // headphones, headset, line, digital links, USB, Bluetooth and the like
    }
}

} // namespace

bool isBluetoothEndpoint(const PulseEndpoint& endpoint)
{
    return endpoint.bus == "bluetooth" || endpoint.api.starts_with("bluez")
           || !endpoint.bluezAddress.empty();
}

std::optional<AudioObjectID> objectIDOf(EndpointAddress address) noexcept
{
    if (address.index >= sourceBit - 1) return std::nullopt;
    const AudioObjectID id = address.index + 1;
    return address.direction == Direction::input ? (id | sourceBit) : id;
}

std::optional<EndpointAddress> addressOf(AudioObjectID id) noexcept
{
    const Direction direction = (id & sourceBit) != 0 ? Direction::input : Direction::output;
    const AudioObjectID value = id & ~sourceBit;
    if (value == 0) return std::nullopt;
    return EndpointAddress{direction, value - 1};
}

std::string uidOf(const PulseEndpoint& endpoint)
{
    // A monitor mirrors its sink and carries the sink's Bluetooth properties; it keeps its own
    // name so it can never take the headset's microphone identity.
    if (!endpoint.isMonitor && isBluetoothEndpoint(endpoint)) {
        const std::string& address =
            endpoint.bluezAddress.empty() ? endpoint.deviceString : endpoint.bluezAddress;
        if (!address.empty()) {
            return "bluez:" + address + ":" + std::string(rawValue(endpoint.direction));
        }
    }
    return endpoint.name;
}

std::optional<std::string> nameOf(const PulseEndpoint& endpoint)
{
    if (endpoint.description.empty()) return std::nullopt;
    return endpoint.description;
}

bool isPlaceholderEndpoint(const PulseEndpoint& endpoint) noexcept
{
    return endpoint.name == "auto_null" || endpoint.name == "auto_null.monitor";
}

bool isHiddenEndpoint(const PulseEndpoint& endpoint) noexcept
{
    return endpoint.isMonitor || endpoint.deviceClass == "monitor" || isPlaceholderEndpoint(endpoint);
}

bool hasBuiltInTransport(const PulseEndpoint& endpoint)
{
    if (mentionsDigitalLink(endpoint.name) || mentionsDigitalLink(endpoint.profileName)
        || mentionsDigitalLink(endpoint.activePort) || mentionsDigitalLink(endpoint.activePortDescription)
        || mentionsDigitalLink(endpoint.deviceString) || isProAudio(endpoint)) {
        return false;
    }
    const bool onTheMachine =
        endpoint.formFactor == "internal" || endpoint.bus == "pci" || endpoint.bus == "platform";
    if (!onTheMachine) return false;
    return endpoint.activePort.empty() || isMachinesOwnPort(endpoint);
}

bool isUsableEndpoint(const PulseEndpoint& endpoint) noexcept
{
    return !endpoint.allPortsUnavailable;
}

std::optional<RawDevice> rawDeviceOf(const PulseEndpoint& endpoint)
{
    const std::optional<AudioObjectID> id = objectIDOf({endpoint.direction, endpoint.index});
    if (!id) return std::nullopt;
    const std::vector<std::uint32_t> none;
    const std::vector<std::uint32_t> channels{endpoint.channels};
    const bool isInput = endpoint.direction == Direction::input;
    return RawDevice{
        .id = *id,
        .uid = uidOf(endpoint),
        .name = nameOf(endpoint),
        .isHidden = isHiddenEndpoint(endpoint),
        .inputChannels = isInput ? channels : none,
        .outputChannels = isInput ? none : channels,
        .builtInTransport = hasBuiltInTransport(endpoint),
    };
}

} // namespace vantorelle::pulse
