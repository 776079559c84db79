#pragma once

#include "model/AudioStream.h"
#include "model/Direction.h"

#include <pulse/introspect.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantorelle::pulse {

// The facts of one application stream (a sink input or a source output), copied out of
// libpulse's info record. Missing properties are empty strings.
struct PulseStream {
    Direction direction = Direction::output;
    std::uint32_t index = 0;
    // The sink or source it plays to or records from; PA_INVALID_INDEX while it has none.
    std::uint32_t endpoint = 0xffffffffu;
    std::string application; // application.name
    std::string iconName;    // application.icon_name
    std::string role;        // media.role
    // application.flatpak.id or pipewire.access.portal.app_id, else application.process.binary.
    std::string program;
    // It asks to stay on its device (node.dont-reconnect), or a move of it was refused.
    bool unmovable = false;
    // The key of PulseAudio's memory of the stream's device (module-stream-restore.id).
    std::string restoreKey;
    // Its node on PipeWire (object.id); absent elsewhere.
    std::optional<std::uint32_t> node;

    bool operator==(const PulseStream&) const = default;
};

// The facts of a stream, or nothing for one of this very process (the level meter).
std::optional<PulseStream> streamOf(const pa_sink_input_info& info);
std::optional<PulseStream> streamOf(const pa_source_output_info& info);

// The applications' streams as the server's events tell them. Pure state: a full list replaces
// it (the first look after each connection), then each event's facts update one stream.
class StreamMirror {
public:
    using Key = std::pair<Direction, std::uint32_t>;
    // The UID of the usable device an endpoint index stands for, empty for none.
    using DeviceOf = std::function<std::string(Direction, std::uint32_t)>;

    // A connection begins its look: nothing is known until both lists are in.
    void beginLook();
    // One direction's list; true when what the streams show changed.
    bool listed(Direction direction, std::vector<PulseStream> streams);
    // A new or changed stream; a removed one. True when the list changed.
    bool arrived(PulseStream stream);
    bool removed(Direction direction, std::uint32_t index);
    // The server refused to move the stream; true when it is known.
    bool refused(Direction direction, std::uint32_t index);

    bool isComplete() const noexcept { return looked_[0] && looked_[1]; }
    const PulseStream* find(Direction direction, std::uint32_t index) const;
    // The streams as the engine sees them, in the server's order (inputs first).
    std::vector<AudioStream> streams(const DeviceOf& deviceOf) const;

private:
    std::map<Key, PulseStream> streams_;
    bool looked_[2] = {false, false};
};

} // namespace vantorelle::pulse
