#include "audio/pulse/PulseAudioSystem.h"

#include "audio/pulse/PulseDeviceMapping.h"

#include <chrono>
#include <memory>
#include <utility>

namespace vantorelle {

using namespace pulse;

PulseAudioSystem::PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<EventLoop> loop,
                                   DefaultsFeedFactory defaultsFeed)
    : PulseAudioSystem(std::move(options), std::move(loop), true, std::move(defaultsFeed))
{
}

PulseAudioSystem::PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<EventLoop> loop, bool reconnects,
                                   DefaultsFeedFactory defaultsFeed)
    : loop_(std::move(loop))
    , connection_(std::make_unique<MirrorConnection>(loop_ ? loop_->api() : nullptr, options, reconnects,
                                                     std::move(defaultsFeed)))
{
    connection_->start();
}

std::unique_ptr<PulseAudioSystem> PulseAudioSystem::snapshot(PulseAudioOptions options)
{
    auto loop = std::make_unique<BlockingLoop>();
    BlockingLoop& waiting = *loop;
    const auto deadline = std::chrono::steady_clock::now() + options.queryDeadline;
    const std::chrono::milliseconds queryDeadline = options.queryDeadline;
    std::unique_ptr<PulseAudioSystem> system(new PulseAudioSystem(std::move(options), std::move(loop), false, {}));
    system->snapshotLoop_ = &waiting;
    system->snapshotDeadline_ = queryDeadline;
    const MirrorConnection& connection = *system->connection_;
    waiting.runUntil([&connection] { return connection.isReady() || connection.isUnreachable(); }, deadline);
    return system;
}

// The connection goes first: its callbacks may reach the owner, which may be on its way out too.
PulseAudioSystem::~PulseAudioSystem()
{
    connection_.reset();
}

std::optional<std::vector<RawDevice>> PulseAudioSystem::devices()
{
    try {
        const ServerMirror& mirror = connection_->mirror();
        // Mid-change the list would be wrong: no answer yet, rather than the headset gone.
        if (!isAnswering() || mirror.isHolding()) return std::nullopt;
        return mirror.devices();
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<AudioObjectID> PulseAudioSystem::defaultDevice(Direction direction)
{
    if (!isAnswering()) return std::nullopt;
    const ServerMirror& mirror = connection_->mirror();
    const PulseEndpoint* device = mirror.findNamed(direction, mirror.defaults().of(direction));
    // The server's placeholder stands in when there is no real device: that is no default, on
    // every server alike (PipeWire keeps "auto_null" as its default sink when nothing else exists,
    // PulseAudio has none). A monitor the user chose is a real default and stays.
    if (!device || isPlaceholderEndpoint(*device)) return std::nullopt;
    return objectIDOf({device->direction, device->index});
}

bool PulseAudioSystem::setDefaultDevice(AudioObjectID id, Direction direction)
{
    try {
        const std::optional<EndpointAddress> address = addressOf(id);
        if (!address || address->direction != direction || !isAnswering()) return false;
        const PulseEndpoint* endpoint = connection_->mirror().find(*address);
        return endpoint && connection_->setDefault(direction, endpoint->name);
    } catch (...) {
        return false;
    }
}

std::optional<std::string> PulseAudioSystem::stringProperty(StringProperty property, AudioObjectID id)
{
    try {
        const std::optional<EndpointAddress> address = addressOf(id);
        if (!address || !isAnswering()) return std::nullopt;
        const PulseEndpoint* found = connection_->mirror().find(*address);
        if (!found) return std::nullopt;
        return property == StringProperty::uid ? std::optional(uidOf(*found)) : nameOf(*found);
    } catch (...) {
        return std::nullopt;
    }
}

void PulseAudioSystem::startListening(std::function<void(bool quiet)> onDeviceListChange,
                                      std::function<void()> onDefaultChange)
{
    connection_->setHandlers({std::move(onDeviceListChange), std::move(onDefaultChange)});
}

void PulseAudioSystem::whenSetsSettled(std::function<void()> then)
{
    if (!snapshotLoop_) {
        connection_->whenSetsSettled(std::move(then));
        return;
    }
    auto settled = std::make_shared<bool>(false);
    connection_->whenSetsSettled([then = std::move(then), settled] {
        *settled = true;
        then();
    });
    snapshotLoop_->runUntil([&settled] { return *settled; }, std::chrono::steady_clock::now() + snapshotDeadline_);
}

void PulseAudioSystem::requestResync()
{
    connection_->requestResync();
}

bool PulseAudioSystem::isAnswering()
{
    return connection_->isReady();
}

} // namespace vantorelle
