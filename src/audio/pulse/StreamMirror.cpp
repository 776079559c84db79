#include "audio/pulse/StreamMirror.h"

#include <pulse/proplist.h>

#include <unistd.h>

#include <charconv>
#include <cstring>

namespace vantorelle::pulse {

namespace {

std::string property(const pa_proplist* list, const char* key)
{
    const char* value = list ? pa_proplist_gets(list, key) : nullptr;
    return value ? std::string(value) : std::string();
}

std::optional<std::uint32_t> number(const std::string& text)
{
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<PulseStream> streamFrom(Direction direction, std::uint32_t index, std::uint32_t endpoint,
                                      const pa_proplist* list)
{
    // The level meter records on a connection of its own; it is not an application's stream.
    if (number(property(list, PA_PROP_APPLICATION_PROCESS_ID)) == static_cast<std::uint32_t>(::getpid())) {
        return std::nullopt;
    }
    // A sandboxed program is known by its id; its executable is the sandbox's for every one.
    std::string program = property(list, "application.flatpak.id");
    if (program.empty()) program = property(list, "pipewire.access.portal.app_id");
    if (program.empty()) program = property(list, PA_PROP_APPLICATION_PROCESS_BINARY);
    const std::string stay = property(list, "node.dont-reconnect");
    return PulseStream{direction,
                       index,
                       endpoint,
                       property(list, PA_PROP_APPLICATION_NAME),
                       property(list, PA_PROP_APPLICATION_ICON_NAME),
                       property(list, PA_PROP_MEDIA_ROLE),
                       std::move(program),
                       stay == "true" || stay == "1",
                       property(list, "module-stream-restore.id"),
                       number(property(list, "object.id"))};
}

} // namespace

std::optional<PulseStream> streamOf(const pa_sink_input_info& info)
{
    return streamFrom(Direction::output, info.index, info.sink, info.proplist);
}

std::optional<PulseStream> streamOf(const pa_source_output_info& info)
{
    return streamFrom(Direction::input, info.index, info.source, info.proplist);
}

void StreamMirror::beginLook()
{
    streams_.clear();
    looked_[0] = looked_[1] = false;
}

bool StreamMirror::listed(Direction direction, std::vector<PulseStream> streams)
{
    const auto before = streams_;
    std::erase_if(streams_, [direction](const auto& entry) { return entry.first.first == direction; });
    for (PulseStream& stream : streams) {
        const Key key{direction, stream.index};
        const auto known = before.find(key);
        if (known != before.end() && known->second.unmovable) stream.unmovable = true;
        streams_.insert_or_assign(key, std::move(stream));
    }
    looked_[slotOf(direction)] = true;
    return streams_ != before;
}

bool StreamMirror::arrived(PulseStream stream)
{
    const Key key{stream.direction, stream.index};
    const auto known = streams_.find(key);
    // A refusal holds for the stream's life; its next change does not tell it again.
    if (known != streams_.end() && known->second.unmovable) stream.unmovable = true;
    if (known != streams_.end() && known->second == stream) return false;
    streams_.insert_or_assign(key, std::move(stream));
    return true;
}

bool StreamMirror::removed(Direction direction, std::uint32_t index)
{
    return streams_.erase({direction, index}) > 0;
}

bool StreamMirror::refused(Direction direction, std::uint32_t index)
{
    const auto known = streams_.find({direction, index});
    if (known == streams_.end() || known->second.unmovable) return false;
    known->second.unmovable = true;
    return true;
}

const PulseStream* StreamMirror::find(Direction direction, std::uint32_t index) const
{
    const auto known = streams_.find({direction, index});
    return known == streams_.end() ? nullptr : &known->second;
}

std::vector<AudioStream> StreamMirror::streams(const DeviceOf& deviceOf) const
{
    std::vector<AudioStream> result;
    result.reserve(streams_.size());
    for (const auto& [key, stream] : streams_) {
        result.push_back({stream.index, stream.direction, stream.application, stream.iconName, stream.role,
                          deviceOf(stream.direction, stream.endpoint), stream.program, !stream.unmovable});
    }
    return result;
}

} // namespace vantorelle::pulse
