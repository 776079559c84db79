// The applications' streams on the mirror's connection: followed by their events, moved on request.
#include "audio/pulse/PulseAudioSystem.h"

#include "audio/pulse/PulseDeviceMapping.h"

#include <algorithm>
#include <type_traits>

namespace vantorelle {

using namespace pulse;

namespace {

template <typename Info>
constexpr Direction directionOf() noexcept
{
    return std::is_same_v<Info, pa_source_output_info> ? Direction::input : Direction::output;
}

} // namespace

std::vector<AudioStream> PulseAudioSystem::streams() const
{
    if (!isReady() || !streams_.isComplete()) return {};
    try {
        return streams_.streams([this](Direction direction, std::uint32_t index) {
            const PulseEndpoint* endpoint = mirror_.findIndexed(direction, index);
            return endpoint && deviceOf(*endpoint) ? uidOf(*endpoint) : std::string();
        });
    } catch (...) {
        return {};
    }
}

bool PulseAudioSystem::moveStream(Direction direction, std::uint32_t id, const std::string& uid)
{
    try {
        const PulseEndpoint* endpoint = mirror_.findDevice(direction, uid);
        const PulseStream* stream = streams_.find(direction, id);
        if (!isReady() || !endpoint || !stream) return false;
        // Sent to the default, a stream follows the default again rather than staying on it.
        const bool toDefault = mirror_.defaults().of(direction) == endpoint->name;
        if (feed_) {
            // PipeWire: never through the pulse layer, whose moves the session manager stores for
            // the application's next stream. Until PipeWire's record is read, the move waits.
            const bool sent = stream->node && feed_->setStreamTarget(*stream->node, toDefault ? std::string() : endpoint->name);
            waitingForFeed_ = waitingForFeed_ || !sent;
            return sent;
        }
        pa_context* context = context_.get();
        restore_.beforeMove(context, stream->restoreKey);
        pa_operation* operation =
            direction == Direction::input
                ? pa_context_move_source_output_by_index(context, id, endpoint->index, &PulseAudioSystem::onMoveDone, this)
                : pa_context_move_sink_input_by_index(context, id, endpoint->index, &PulseAudioSystem::onMoveDone, this);
        if (!operation) return false;
        sendDetached(operation);
        moving_.push_back({direction, id});
        movedStreams_.insert_or_assign({direction, id}, stream->restoreKey);
        return true;
    } catch (...) {
        return false;
    }
}

// Moves are answered in the order they were asked.
void PulseAudioSystem::onMoveDone(pa_context*, int success, void* userdata) noexcept
{
    auto& self = *static_cast<PulseAudioSystem*>(userdata);
    if (self.moving_.empty()) return;
    const StreamMirror::Key key = self.moving_.front();
    self.moving_.pop_front();
    if (success) return;
    self.trace([&key] {
        return "stream: the server refused to move " + std::string(rawValue(key.first)) + " stream " + std::to_string(key.second);
    });
    if (self.streams_.refused(key.first, key.second) && self.streams_.isComplete()) self.streamListChanged();
}

void PulseAudioSystem::requestStreamLists()
{
    streams_.beginLook();
    for (const Direction direction : allDirections) requestStreamList(direction);
}

void PulseAudioSystem::requestStreamList(Direction direction)
{
    streamListing_[slotOf(direction)].clear();
    pa_context* context = context_.get();
    sendDetached(direction == Direction::input
                     ? pa_context_get_source_output_info_list(context, &onStreamList<pa_source_output_info>, this)
                     : pa_context_get_sink_input_info_list(context, &onStreamList<pa_sink_input_info>, this));
}

void PulseAudioSystem::streamEvent(Direction direction, unsigned type, std::uint32_t index)
{
    if (type == PA_SUBSCRIPTION_EVENT_REMOVE) {
        streamGone(direction, index);
        return;
    }
    pa_context* context = context_.get();
    sendDetached(direction == Direction::input
                     ? pa_context_get_source_output_info(context, index,
                                                         &PulseAudioSystem::onStreamInfo<pa_source_output_info>, this)
                     : pa_context_get_sink_input_info(context, index,
                                                      &PulseAudioSystem::onStreamInfo<pa_sink_input_info>, this));
}

void PulseAudioSystem::streamArrived(const PulseStream& stream)
{
    const bool changed = streams_.arrived(stream);
    // Every change of a moved stream may have written its device into the server's memory again.
    const auto moved = movedStreams_.find({stream.direction, stream.index});
    if (moved != movedStreams_.end()) restore_.putBack(context_.get(), moved->second);
    if (changed && streams_.isComplete()) streamListChanged();
}

void PulseAudioSystem::streamGone(Direction direction, std::uint32_t index)
{
    const bool changed = streams_.removed(direction, index);
    const auto moved = movedStreams_.find({direction, index});
    if (moved != movedStreams_.end()) {
        const std::string key = moved->second;
        movedStreams_.erase(moved);
        const bool othersMoved = std::ranges::any_of(movedStreams_, [&key](const auto& entry) { return entry.second == key; });
        if (othersMoved) restore_.putBack(context_.get(), key);
        else restore_.release(context_.get(), key);
    }
    if (changed && streams_.isComplete()) streamListChanged();
}

template <typename Info>
void PulseAudioSystem::onStreamInfo(pa_context*, const Info* info, int eol, void* userdata) noexcept
{
    // A lost answer (the stream ended meanwhile) is followed by its removal.
    if (eol != 0 || !info) return;
    auto& self = *static_cast<PulseAudioSystem*>(userdata);
    try {
        if (const std::optional<PulseStream> stream = streamOf(*info)) self.streamArrived(*stream);
    } catch (...) {
    }
}

template <typename Info>
void PulseAudioSystem::onStreamList(pa_context*, const Info* info, int eol, void* userdata) noexcept
{
    auto& self = *static_cast<PulseAudioSystem*>(userdata);
    constexpr Direction direction = directionOf<Info>();
    std::vector<PulseStream>& listing = self.streamListing_[slotOf(direction)];
    try {
        if (eol < 0) {
            // Asked again: the streams are not known without every list.
            self.requestStreamList(direction);
        } else if (eol > 0 || !info) {
            if (self.streams_.listed(direction, std::exchange(listing, {})) && self.streams_.isComplete()) {
                self.streamListChanged();
            }
        } else if (std::optional<PulseStream> stream = streamOf(*info)) {
            listing.push_back(std::move(*stream));
        }
    } catch (...) {
        listing.clear();
    }
}

template void PulseAudioSystem::onStreamInfo<pa_sink_input_info>(pa_context*, const pa_sink_input_info*, int, void*) noexcept;
template void PulseAudioSystem::onStreamInfo<pa_source_output_info>(pa_context*, const pa_source_output_info*, int,
                                                                    void*) noexcept;
template void PulseAudioSystem::onStreamList<pa_sink_input_info>(pa_context*, const pa_sink_input_info*, int, void*) noexcept;
template void PulseAudioSystem::onStreamList<pa_source_output_info>(pa_context*, const pa_source_output_info*, int,
                                                                    void*) noexcept;

} // namespace vantorelle
