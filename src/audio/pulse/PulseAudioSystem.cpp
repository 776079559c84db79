#include "audio/pulse/PulseAudioSystem.h"

#include "audio/pulse/PulseDeviceMapping.h"
#include "audio/pulse/PulseIntrospection.h"
#include "audio/pulse/PulseQueryConnection.h"

#include <algorithm>
#include <utility>
#include <unordered_set>

namespace vantorelle {

using namespace pulse;

namespace {

const PulseEndpoint* findEndpoint(const PulseAudioSystem::Look& look, EndpointAddress address)
{
    const auto it = std::ranges::find_if(look.endpoints, [&address](const PulseEndpoint& endpoint) {
        return endpoint.direction == address.direction && endpoint.index == address.index;
    });
    return it == look.endpoints.end() ? nullptr : &*it;
}

const PulseEndpoint* findNamed(const PulseAudioSystem::Look& look, Direction direction,
                               const std::string& name)
{
    if (name.empty()) return nullptr;
    const auto it = std::ranges::find_if(look.endpoints, [&](const PulseEndpoint& endpoint) {
        return endpoint.direction == direction && endpoint.name == name;
    });
    return it == look.endpoints.end() ? nullptr : &*it;
}

} // namespace

PulseAudioSystem::PulseAudioSystem(PulseAudioOptions options, PulseEventSourceFactory listen)
    : options_(std::move(options))
    , listen_(std::move(listen))
    , queries_(std::make_unique<PulseQueryConnection>(options_.server, options_.quietAfterTimeout))
{
}

// The listener goes first: its callbacks may reach the owner, which may be on its way out too.
PulseAudioSystem::~PulseAudioSystem()
{
    listener_.reset();
}

std::optional<PulseAudioSystem::Look> PulseAudioSystem::takeLook()
{
    const Deadline deadline = std::chrono::steady_clock::now() + options_.queryDeadline;
    EndpointReply sinks;
    EndpointReply sources;
    CardReply cards;
    ServerReply server;
    // Only a Bluetooth headset seen before can be found between two profiles (see below).
    const bool wantCards = !bluetoothCards_.empty();
    const bool answered = queries_->exchange(deadline, [&](pa_context* context) {
        std::vector<Operation> operations;
        operations.push_back(requestSinks(context, sinks));
        operations.push_back(requestSources(context, sources));
        if (wantCards) operations.push_back(requestCards(context, cards));
        operations.push_back(requestServerDefaults(context, server));
        return operations;
    });
    if (!answered || !sinks.isComplete || !sources.isComplete || (wantCards && !cards.isComplete)
        || !server.defaults) {
        return std::nullopt;
    }
    // PipeWire can leave a connection that stays open with stale defaults; PulseAudio cannot.
    queries_->setKeepOpen(!server.isPipeWire);
    lastDefaults_ = *server.defaults;
    Look look{std::move(sinks.endpoints), std::move(*server.defaults), std::move(cards.cards)};
    look.endpoints.insert(look.endpoints.end(), std::make_move_iterator(sources.endpoints.begin()),
                          std::make_move_iterator(sources.endpoints.end()));
    return look;
}

// PipeWire changes a headset's profile by removing its endpoints and making the new ones 10 ms
// to several hundred later, while its card stays. A look in between would take the headset for
// gone; the listener hears the change, but a pass that started just before it did not.
bool PulseAudioSystem::isChangingProfile(const Look& look)
{
    std::unordered_set<std::uint32_t> withEndpoints;
    for (const PulseEndpoint& endpoint : look.endpoints) {
        if (endpoint.card != PA_INVALID_INDEX && isBluetoothEndpoint(endpoint) && !isHiddenEndpoint(endpoint)) {
            withEndpoints.insert(endpoint.card);
        }
    }
    bool changing = false;
    for (auto it = bluetoothCards_.begin(); it != bluetoothCards_.end();) {
        const bool present = std::ranges::find(look.cards, it->first) != look.cards.end();
        // Gone with its card, or there; or found without endpoints once before: the listener,
        // which has heard the change by the time it answers the resync this asks for, calls the
        // next pass when the change is over, and a headset still without endpoints then has
        // lost them for good (a profile "off").
        if (!present || withEndpoints.contains(it->first) || std::exchange(it->second, true)) {
            it = bluetoothCards_.erase(it);
            continue;
        }
        changing = true;
        ++it;
    }
    for (const std::uint32_t card : withEndpoints) bluetoothCards_.try_emplace(card);
    return changing;
}

const PulseAudioSystem::Look* PulseAudioSystem::look()
{
    if (sessionDepth_ == 0) {
        const PulseQueryConnection::Call call(*queries_);
        look_ = takeLook();
    } else if (!sessionLookTaken_) {
        sessionLookTaken_ = true;
        look_ = takeLook();
    }
    return look_ ? &*look_ : nullptr;
}

void PulseAudioSystem::beginSession()
{
    if (sessionDepth_++ == 0) sessionLookTaken_ = false;
}

void PulseAudioSystem::endSession()
{
    if (sessionDepth_ == 0 || --sessionDepth_ > 0) return;
    queries_->close();
}

std::optional<std::vector<RawDevice>> PulseAudioSystem::devices()
{
    try {
        const Look* current = look();
        // Mid-change the list would be wrong: no answer yet, rather than the headset gone.
        if (!current || isChangingProfile(*current)) return std::nullopt;
        std::vector<RawDevice> result;
        result.reserve(current->endpoints.size());
        for (const PulseEndpoint& endpoint : current->endpoints) {
            // Nothing plugged into any of its ports: it cannot play or record now.
            if (!isUsableEndpoint(endpoint)) continue;
            if (std::optional<RawDevice> device = rawDeviceOf(endpoint)) result.push_back(std::move(*device));
        }
        return result;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<AudioObjectID> PulseAudioSystem::defaultDevice(Direction direction)
{
    try {
        const Look* current = look();
        if (!current) return std::nullopt;
        const PulseEndpoint* device = findNamed(*current, direction, current->defaults.of(direction));
        // The server's placeholder stands in when there is no real device: that is no default,
        // on every server alike (PipeWire keeps "auto_null" as its default sink when nothing else
        // exists, PulseAudio has none). A monitor the user chose is a real default and stays.
        if (!device || isPlaceholderEndpoint(*device)) return std::nullopt;
        return objectIDOf({device->direction, device->index});
    } catch (...) {
        return std::nullopt;
    }
}

bool PulseAudioSystem::setDefaultDevice(AudioObjectID id, Direction direction)
{
    try {
        const std::optional<EndpointAddress> address = addressOf(id);
        if (!address || address->direction != direction) return false;
        // The look and the set share a connection, in a session of their own if need be.
        const bool inSession = sessionDepth_ > 0;
        struct Scope {
            PulseAudioSystem& system;
            explicit Scope(PulseAudioSystem& owner) : system(owner) { system.beginSession(); }
            ~Scope() { system.endSession(); }
            Scope(const Scope&) = delete;
            Scope& operator=(const Scope&) = delete;
        } const scope(*this);
        const Look* current = look();
        if (!current) return false;
        const PulseEndpoint* endpoint = findEndpoint(*current, *address);
        if (!endpoint) return false;
        const std::string name = endpoint->name;
        // Setting also moves the device up in the server's memory of past defaults, so a set
        // that changes nothing is not made.
        if (name == current->defaults.of(direction)) return true;
        const Deadline deadline = std::chrono::steady_clock::now() + options_.queryDeadline;
        SuccessReply accepted;
        const bool settled = queries_->exchange(deadline, [&](pa_context* context) {
            std::vector<Operation> operations;
            operations.push_back(requestSetDefault(context, direction, name, accepted));
            return operations;
        });
        if (!settled || !accepted.accepted.value_or(false)) return false;
        if (inSession) {
            // The acknowledgement is the truth for the rest of the session.
            (direction == Direction::input ? look_->defaults.source : look_->defaults.sink) = name;
            lastDefaults_ = look_->defaults;
            return true;
        }
        // Outside a session the caller may read the default right after on a new connection.
        // PipeWire accepts the choice at once but puts it in effect only when its session manager
        // has acted on it; until then the old default is reported. Wait (bounded) for the
        // server's change events until it shows, as on PulseAudio, where the first look already does.
        const Deadline effectBound =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(250));
        queries_->watchServerChanges();
        for (;;) {
            const unsigned seen = queries_->serverChanges();
            ServerReply now;
            const bool read = queries_->exchange(effectBound, [&](pa_context* context) {
                std::vector<Operation> operations;
                operations.push_back(requestServerDefaults(context, now));
                return operations;
            });
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
        const std::optional<EndpointAddress> address = addressOf(id);
        if (!address) return std::nullopt;
        const Look* current = look();
        if (!current) return std::nullopt;
        const PulseEndpoint* found = findEndpoint(*current, *address);
        if (!found) return std::nullopt;
        return property == StringProperty::uid ? std::optional(uidOf(*found)) : nameOf(*found);
    } catch (...) {
        return std::nullopt;
    }
}

void PulseAudioSystem::startListening(std::function<void()> onDeviceListChange,
                                      std::function<void()> onDefaultChange)
{
    if (listener_ || !listen_) return;
    try {
        auto deviceListChange = [this, onDeviceListChange = std::move(onDeviceListChange)] {
            // The listener heard the server: a quiet period after a time-out is over.
            queries_->serverAnswered();
            if (onDeviceListChange) onDeviceListChange();
        };
        listener_ = listen_(options_, PulseEventHandlers{
            deviceListChange,
            [this, onDefaultChange = std::move(onDefaultChange)](const PulseServerDefaults& defaults) {
                // Our own acknowledged set, or a default the last look already saw, is no news.
                if (defaults == lastDefaults_) return;
                lastDefaults_ = defaults;
                if (onDefaultChange) onDefaultChange();
            },
            [this, deviceListChange] {
                queries_->serverAnswered();
                if (onQuietDeviceListChange_) onQuietDeviceListChange_();
                else deviceListChange();
            },
            [this](const PulseEndpoint& endpoint) {
                // By name too: PipeWire gives a freed index to the next node.
                const PulseEndpoint* seen = look_ ? findEndpoint(*look_, {endpoint.direction, endpoint.index}) : nullptr;
                return seen && seen->name == endpoint.name;
            }});
        if (listener_) listener_->start();
    } catch (...) {
        listener_.reset();
    }
}

void PulseAudioSystem::setOnQuietDeviceListChange(std::function<void()> onQuietDeviceListChange)
{
    onQuietDeviceListChange_ = std::move(onQuietDeviceListChange);
}

void PulseAudioSystem::requestResync()
{
    if (listener_) listener_->requestResync();
}

bool PulseAudioSystem::isAnswering()
{
    try {
        return look() != nullptr;
    } catch (...) {
        return false;
    }
}

bool PulseAudioSystem::isListening() const noexcept
{
    return listener_ && listener_->isReady();
}

} // namespace vantorelle
