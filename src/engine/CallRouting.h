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

// Which streams are calls at one look. A stream whose role says so (`phone`, `communication`, any
// case) is one. Call programs rarely say so: every stream of a program counts as well while that
// program both records and plays, when the user listed it as a calls application (or chose that
// any program counts).
class CallRecognition {
public:
    // `talking`: the programs in a call at the last look, updated to this one's. Programs close
    // and reopen streams as a call starts (ringing, then the call): a program in a call stays in
    // it while it has any stream open.
    CallRecognition(const std::vector<AudioStream>& streams, const StoredSettings& settings,
                    std::set<std::string>& talking);
    bool isCall(const AudioStream& stream) const;
    // The caller (AudioStream::caller()) has a call stream at this look.
    bool inCall(const std::string& caller) const { return inCall_.contains(caller); }

private:
    std::set<std::string> talking_;
    std::set<std::string> inCall_;
};

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
    // It cannot be moved (it asks to stay, or the server refused): left where it is.
    bool unmovable = false;
    // The device it was last told to be on for its call.
    std::optional<std::string> toldOn;
};
using CallKey = std::pair<Direction, std::uint32_t>;
using CallPlacements = std::map<CallKey, CallPlacement>;

struct StreamMove {
    Direction direction;
    std::uint32_t id;
    std::string toUID;
};

// A call stream seen on the device routing wants it on, other than the default.
struct CallLanding {
    Direction direction;
    std::string caller;
    std::string deviceUID;
};

// A call stream that turned out to be unmovable.
struct StuckCall {
    Direction direction;
    std::uint32_t id;
    std::string caller;
};

struct RoutingDecision {
    std::vector<StreamMove> moves;
    std::vector<CallLanding> landed;
    std::vector<StuckCall> stuck;
};

// One look at the streams: while routing is on for a direction, each of its call streams goes to
// the calls stack's pick (the same rule as the default's), or back to the default when the stack
// has none; with routing off, the calls routing moved go back to the default. Streams moved by
// hand and unmovable ones stay, other streams are never touched. A landing counts only once the
// look shows the stream there. `placements` is updated (ended streams are
// forgotten) as if every move succeeds; the next look tells where they went (a move that could
// not be sent is to be forgotten with forgetMove()).
RoutingDecision routeCalls(const std::vector<AudioStream>& streams, const CallRecognition& calls,
                           const std::vector<AudioDevice>& connected, const StoredSettings& settings, bool lidClosed,
                           const SystemDefaults& defaults, CallPlacements& placements);

// The move of this stream could not be sent: it stays where it was seen.
void forgetMove(CallPlacements& placements, const StreamMove& move);

} // namespace vantorelle
