#include "audio/pulse/PulseDeviceMapping.h"

#include "model/BluetoothUID.h"

#include <pulse/def.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace vantorelle::pulse {

namespace {

std::string text(const char* value)
{
    return value ? std::string(value) : std::string();
}

std::string property(const pa_proplist* properties, const char* key)
{
    return properties ? text(pa_proplist_gets(properties, key)) : std::string();
}

template <typename Info>
PulseEndpoint commonFacts(const Info& info, Direction direction)
{
    PulseEndpoint endpoint;
    endpoint.direction = direction;
    endpoint.index = info.index;
    endpoint.card = info.card;
    endpoint.name = text(info.name);
    endpoint.description = text(info.description);
    endpoint.channels = info.channel_map.channels;
    if (info.active_port) {
        endpoint.activePort = text(info.active_port->name);
        endpoint.activePortDescription = text(info.active_port->description);
        endpoint.activePortType = info.active_port->type;
    }
    if (info.ports && info.n_ports > 0) {
        endpoint.allPortsUnavailable = std::all_of(info.ports, info.ports + info.n_ports, [](const auto* port) {
            return port && port->available == PA_PORT_AVAILABLE_NO;
        });
    }
    const pa_proplist* properties = info.proplist;
    endpoint.deviceClass = property(properties, PA_PROP_DEVICE_CLASS);
    endpoint.formFactor = property(properties, PA_PROP_DEVICE_FORM_FACTOR);
    endpoint.bus = property(properties, PA_PROP_DEVICE_BUS);
    endpoint.iconName = property(properties, PA_PROP_DEVICE_ICON_NAME);
    endpoint.api = property(properties, PA_PROP_DEVICE_API);
    endpoint.profileName = property(properties, PA_PROP_DEVICE_PROFILE_NAME);
    endpoint.deviceString = property(properties, PA_PROP_DEVICE_STRING);
    endpoint.bluezAddress = property(properties, "api.bluez5.address");
    return endpoint;
}

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

PulseEndpoint endpointOf(const pa_sink_info& info)
{
    return commonFacts(info, Direction::output);
}

PulseEndpoint endpointOf(const pa_source_info& info)
{
    PulseEndpoint endpoint = commonFacts(info, Direction::input);
    endpoint.isMonitor = info.monitor_of_sink != PA_INVALID_INDEX;
    return endpoint;
}

PulseServerDefaults defaultsOf(const pa_server_info& info)
{
    return PulseServerDefaults{text(info.default_sink_name), text(info.default_source_name)};
}

bool isPipeWire(const pa_server_info& info)
{
    return text(info.server_name).find("PipeWire") != std::string::npos;
}

PulseCard cardOf(const pa_card_info& info)
{
    return PulseCard{info.index, text(info.name), info.active_profile2 ? text(info.active_profile2->name) : std::string()};
}

bool isBluetoothEndpoint(const PulseEndpoint& endpoint)
{
    return endpoint.bus == "bluetooth" || endpoint.api.starts_with("bluez")
           || !endpoint.bluezAddress.empty();
}

std::string uidOf(const PulseEndpoint& endpoint)
{
    // A monitor mirrors its sink and carries the sink's Bluetooth properties; it keeps its own
    // name so it can never take the headset's microphone identity.
    if (!endpoint.isMonitor && isBluetoothEndpoint(endpoint)) {
        const std::string& address =
            endpoint.bluezAddress.empty() ? endpoint.deviceString : endpoint.bluezAddress;
        if (!address.empty()) {
            return bluetoothUID(address, endpoint.direction);
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

DeviceKind kindOf(const PulseEndpoint& endpoint)
{
    const std::string& form = endpoint.formFactor;
    const std::string& icon = endpoint.iconName;
    if (form == "headset" || form == "headphone" || form == "hands-free" || form == "handset"
        || icon.starts_with("audio-headset") || icon.starts_with("audio-headphones")) {
        return DeviceKind::headphones;
    }
    if (form == "webcam" || icon.starts_with("camera")) return DeviceKind::camera;
    static constexpr std::array<std::string_view, 3> displayLinks{"hdmi", "displayport", "display-port"};
    if (form == "tv" || icon.starts_with("video-display") || mentionsAny(endpoint.activePort, displayLinks)
        || mentionsAny(endpoint.profileName, displayLinks)) {
        return DeviceKind::display;
    }
    // A Bluetooth device that says no more is most often a headset.
    if (form.empty() && isBluetoothEndpoint(endpoint)) return DeviceKind::headphones;
    return DeviceKind::other;
}

bool isUsableEndpoint(const PulseEndpoint& endpoint) noexcept
{
    return !endpoint.allPortsUnavailable;
}

std::optional<AudioDevice> deviceOf(const PulseEndpoint& endpoint)
{
    constexpr std::uint32_t sourceBit = 0x80000000u;
    if (isHiddenEndpoint(endpoint) || !isUsableEndpoint(endpoint) || endpoint.channels == 0) return std::nullopt;
    if (endpoint.index >= sourceBit - 1) return std::nullopt;
    const bool isInput = endpoint.direction == Direction::input;
    const AudioObjectID id = (endpoint.index + 1) | (isInput ? sourceBit : 0);
    std::string uid = uidOf(endpoint);
    std::string name = endpoint.description.empty() ? uid : endpoint.description;
    return AudioDevice{id, std::move(uid), std::move(name), isInput, !isInput, hasBuiltInTransport(endpoint), kindOf(endpoint),
                       endpoint.iconName};
}

} // namespace vantorelle::pulse
