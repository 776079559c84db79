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

// libpulse calls these from inside its dispatch; nothing may escape them.
template <typename Reply, typename Info, typename Add>
void collect(const Info* info, int endOfList, void* userdata, const Add& add) noexcept
{
    auto& reply = *static_cast<Reply*>(userdata);
    if (endOfList < 0) {
        reply.failed = true;
        return;
    }
    if (endOfList > 0 || !info) {
        reply.isComplete = !reply.failed;
        return;
    }
    try {
        add(reply, *info);
    } catch (...) {
        reply.failed = true;
    }
}

template <typename Info>
void collectEndpoint(const Info* info, int endOfList, void* userdata) noexcept
{
    collect<EndpointReply>(info, endOfList, userdata,
                           [](EndpointReply& reply, const Info& found) { reply.endpoints.push_back(endpointOf(found)); });
}

void onSinkInfo(pa_context*, const pa_sink_info* info, int endOfList, void* userdata) noexcept
{
    collectEndpoint(info, endOfList, userdata);
}

void onSourceInfo(pa_context*, const pa_source_info* info, int endOfList, void* userdata) noexcept
{
    collectEndpoint(info, endOfList, userdata);
}

void onCardInfo(pa_context*, const pa_card_info* info, int endOfList, void* userdata) noexcept
{
    collect<CardReply>(info, endOfList, userdata,
                       [](CardReply& reply, const pa_card_info& found) { reply.cards.push_back(found.index); });
}

void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) noexcept
{
    if (!info) return;
    try {
        auto& reply = *static_cast<ServerReply*>(userdata);
        reply.defaults = defaultsOf(*info);
        reply.isPipeWire = isPipeWire(*info);
    } catch (...) {
        // Left without an answer: the caller treats it as a failed read.
    }
}

void onSuccess(pa_context*, int success, void* userdata) noexcept
{
    static_cast<SuccessReply*>(userdata)->accepted = success != 0;
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

Operation requestSinks(pa_context* context, EndpointReply& reply) noexcept
{
    return Operation(pa_context_get_sink_info_list(context, onSinkInfo, &reply));
}

Operation requestSources(pa_context* context, EndpointReply& reply) noexcept
{
    return Operation(pa_context_get_source_info_list(context, onSourceInfo, &reply));
}

Operation requestEndpoint(pa_context* context, EndpointAddress address, EndpointReply& reply) noexcept
{
    if (address.direction == Direction::input) {
        return Operation(
            pa_context_get_source_info_by_index(context, address.index, onSourceInfo, &reply));
    }
    return Operation(pa_context_get_sink_info_by_index(context, address.index, onSinkInfo, &reply));
}

Operation requestEndpointNamed(pa_context* context, Direction direction, const std::string& name,
                               EndpointReply& reply) noexcept
{
    if (direction == Direction::input) {
        return Operation(pa_context_get_source_info_by_name(context, name.c_str(), onSourceInfo, &reply));
    }
    return Operation(pa_context_get_sink_info_by_name(context, name.c_str(), onSinkInfo, &reply));
}

Operation requestCards(pa_context* context, CardReply& reply) noexcept
{
    return Operation(pa_context_get_card_info_list(context, onCardInfo, &reply));
}

Operation requestServerDefaults(pa_context* context, ServerReply& reply) noexcept
{
    return Operation(pa_context_get_server_info(context, onServerInfo, &reply));
}

Operation requestSetDefault(pa_context* context, Direction direction, const std::string& name,
                            SuccessReply& reply) noexcept
{
    if (direction == Direction::input) {
        return Operation(pa_context_set_default_source(context, name.c_str(), onSuccess, &reply));
    }
    return Operation(pa_context_set_default_sink(context, name.c_str(), onSuccess, &reply));
}

} // namespace vantorelle::pulse
