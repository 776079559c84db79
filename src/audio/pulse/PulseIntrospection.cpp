#include "audio/pulse/PulseIntrospection.h"

#include <algorithm>

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
    endpoint.api = property(properties, PA_PROP_DEVICE_API);
    endpoint.profileName = property(properties, PA_PROP_DEVICE_PROFILE_NAME);
    endpoint.deviceString = property(properties, PA_PROP_DEVICE_STRING);
    endpoint.bluezAddress = property(properties, "api.bluez5.address");
    return endpoint;
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

} // namespace vantorelle::pulse
