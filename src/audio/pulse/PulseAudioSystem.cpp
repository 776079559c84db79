#include "audio/pulse/PulseAudioSystem.h"

#include "audio/pulse/PulseDeviceMapping.h"
#include "audio/pulse/PulseIntrospection.h"
#include "audio/pulse/PulseListener.h"
#include "audio/pulse/PulseQueryConnection.h"

#include <algorithm>


namespace vantorelle {

using namespace pulse;

namespace {

// One request on the call's connection; `request(context, reply)` sends it.
template <typename Reply, typename Request>
bool askOne(PulseQueryConnection& queries, Deadline deadline, Reply& reply, const Request& request)
{
    return queries.exchange(deadline, [&](pa_context* context) {
        std::vector<Operation> operations;
        operations.push_back(request(context, reply));
        return operations;
    });
}

} // namespace

PulseAudioSystem::PulseAudioSystem(PulseAudioOptions options)
    : options_(std::move(options))
    , queries_(std::make_unique<PulseQueryConnection>(options_.server, options_.quietAfterTimeout))
{
}

// The listener goes first: its callbacks may reach the owner, which may be on its way out too.
PulseAudioSystem::~PulseAudioSystem()
{
    listener_.reset();
}

std::vector<RawDevice> PulseAudioSystem::devices()
{
    try {
        const PulseQueryConnection::Call call(*queries_);
        const Deadline deadline = std::chrono::steady_clock::now() + options_.queryDeadline;
        EndpointReply sinks;
        EndpointReply sources;
        const bool answered = queries_->exchange(deadline, [&](pa_context* context) {
            std::vector<Operation> operations;
            operations.push_back(requestSinks(context, sinks));
            operations.push_back(requestSources(context, sources));
            return operations;
        });
        if (!answered || !sinks.isComplete || !sources.isComplete) return {};
        std::vector<RawDevice> result;
        result.reserve(sinks.endpoints.size() + sources.endpoints.size());
        for (const auto* list : {&sinks.endpoints, &sources.endpoints}) {
            for (const PulseEndpoint& endpoint : *list) {
                if (std::optional<RawDevice> device = rawDeviceOf(endpoint)) {
                    result.push_back(std::move(*device));
                }
            }
        }
        return result;
    } catch (...) {
        return {};
    }
}

std::optional<AudioObjectID> PulseAudioSystem::defaultDevice(Direction direction)
{
    try {
        const PulseQueryConnection::Call call(*queries_);
        const Deadline deadline = std::chrono::steady_clock::now() + options_.queryDeadline;
        ServerReply server;
        if (!askOne(*queries_, deadline, server, requestServerDefaults) || !server.defaults) {
            return std::nullopt;
        }
        const std::string name = server.defaults->of(direction);
        if (name.empty()) return std::nullopt;
        // Looked up by name rather than picked from the whole list, so the cost stays the same
        // however many devices the server has.
        EndpointReply endpoint;
        const bool found = askOne(*queries_, deadline, endpoint, [&](pa_context* context, auto& reply) {
            return requestEndpointNamed(context, direction, name, reply);
        });
        if (!found || !endpoint.isComplete || endpoint.endpoints.size() != 1) return std::nullopt;
        const PulseEndpoint& device = endpoint.endpoints.front();
        // The server's placeholder stands in when there is no real device: that is no default,
        // on every server alike (PipeWire keeps "auto_null" as its default sink when nothing else
        // exists, PulseAudio has none). A monitor the user chose is a real default and stays.
        if (isPlaceholderEndpoint(device)) return std::nullopt;
        return objectIDOf({device.direction, device.index});
    } catch (...) {
        return std::nullopt;
    }
}

bool PulseAudioSystem::setDefaultDevice(AudioObjectID id, Direction direction)
{
    try {
        const PulseQueryConnection::Call call(*queries_);
        const std::optional<EndpointAddress> address = addressOf(id);
        if (!address || address->direction != direction) return false;
        const Deadline deadline = std::chrono::steady_clock::now() + options_.queryDeadline;
        ServerReply server;
        EndpointReply endpoint;
        const bool answered = queries_->exchange(deadline, [&](pa_context* context) {
            std::vector<Operation> operations;
            operations.push_back(requestServerDefaults(context, server));
            operations.push_back(requestEndpoint(context, *address, endpoint));
            return operations;
        });
        if (!answered || !server.defaults || !endpoint.isComplete || endpoint.endpoints.size() != 1) {
            return false;
        }
        const std::string name = endpoint.endpoints.front().name;
        // Setting also moves the device up in the server's memory of past defaults, so a set
        // that changes nothing is not made.
        if (name == server.defaults->of(direction)) return true;
        SuccessReply accepted;
        const bool settled = askOne(*queries_, deadline, accepted, [&](pa_context* context, auto& reply) {
            return requestSetDefault(context, direction, name, reply);
        });
        if (!settled || !accepted.accepted.value_or(false)) return false;
        // PipeWire accepts the choice at once but puts it in effect only when its session manager
        // has acted on it; until then the old default is reported. Wait (bounded) for the
        // server's change events until it shows, so a caller that reads the default right after
        // a set sees the device it chose, as on PulseAudio, where the first look already does.
        const Deadline effectBound =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(250));
        for (;;) {
            const unsigned seen = queries_->serverChanges();
            ServerReply now;
            const bool read = askOne(*queries_, effectBound, now, requestServerDefaults);
            if (!read || !now.defaults || now.defaults->of(direction) == name) break;
            if (!queries_->waitForServerChange(seen, effectBound)) break;
        }
        return true;
    } catch (...) {
        return false;
    }
}

std::optional<std::string> PulseAudioSystem::stringProperty(StringProperty property, AudioObjectID id)
{
    try {
        const PulseQueryConnection::Call call(*queries_);
        const std::optional<EndpointAddress> address = addressOf(id);
        if (!address) return std::nullopt;
        const Deadline deadline = std::chrono::steady_clock::now() + options_.queryDeadline;
        EndpointReply endpoint;
        const bool answered = askOne(*queries_, deadline, endpoint, [&](pa_context* context, auto& reply) {
            return requestEndpoint(context, *address, reply);
        });
        if (!answered || !endpoint.isComplete || endpoint.endpoints.size() != 1) return std::nullopt;
        const PulseEndpoint& found = endpoint.endpoints.front();
        return property == StringProperty::uid ? std::optional(uidOf(found)) : nameOf(found);
    } catch (...) {
        return std::nullopt;
    }
}

void PulseAudioSystem::startListening(std::function<void()> onDeviceListChange,
                                      std::function<void()> onDefaultChange)
{
    if (listener_) return;
    try {
        listener_ = std::make_unique<PulseListener>(options_, std::move(onDeviceListChange),
                                                    std::move(onDefaultChange));
        listener_->start();
    } catch (...) {
        listener_.reset();
    }
}

bool PulseAudioSystem::isListening() const noexcept
{
    return listener_ && listener_->isReady();
}

} // namespace vantorelle
