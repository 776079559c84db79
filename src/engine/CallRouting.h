#pragma once

#include "engine/AudioSystem.h"
#include "model/AudioDevice.h"
#include "model/AudioStream.h"
#include "model/StoredSettings.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vantorelle {

// A playback or recording stream of a call: its role says so (`phone`, `communication`, any
// case), or its application is one the user marked as a calls application.
bool isCall(const AudioStream& stream, const std::vector<std::string>& callsApplications);

// What routing remembers of one call stream between two looks.
struct CallPlacement {
    // The device it was on at the last look.
    std::string lastDevice;
    // Where routing last sent it; absent while it follows the default.
    std::optional<std::string> placedOn;
    // Every device routing ever sent it to: seeing it arrive there is routing's own doing.
    std::set<std::string> sentTo;
    // The latest move sent and not seen landed yet: where the stream is about to be.
    std::optional<std::string> inFlight;
    // Moved by hand (in a mixer): left where it is until it ends.
    bool byUser = false;
};
using CallKey = std::pair<Direction, std::uint32_t>;
using CallPlacements = std::map<CallKey, CallPlacement>;

struct StreamMove {
    Direction direction;
    std::uint32_t id;
    std::string toUID;
};

// A call that began on a device other than the default.
struct CallStart {
    Direction direction;
    std::string application;
    std::string deviceUID;
};

struct RoutingDecision {
    std::vector<StreamMove> moves;
    std::vector<CallStart> started;
};

// One look at the streams: while routing is on for a direction, each of its call streams goes to
// the calls stack's pick (the same rule as the default's), or back to the default when the stack
// has none; with routing off, the calls routing moved go back to the default. Streams moved by
// hand stay, other streams are never touched. `placements` is updated (ended streams are
// forgotten) as if every move succeeds; the next look tells where they went (a move that could
// not be sent is to be forgotten with forgetMove()).
RoutingDecision routeCalls(const std::vector<AudioStream>& streams, const std::vector<AudioDevice>& connected,
                           const StoredSettings& settings, bool lidClosed, const SystemDefaults& defaults,
                           CallPlacements& placements);

// The move of this stream could not be sent: it stays where it was seen.
void forgetMove(CallPlacements& placements, const StreamMove& move);

} // namespace vantorelle
