#include "engine/CallRouting.h"

#include "engine/SwitchRule.h"

#include <algorithm>
#include <cctype>

namespace vantorelle {

namespace {

bool equalsIgnoringCase(const std::string& text, std::string_view word)
{
    return std::ranges::equal(text, word, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool isConnected(const std::vector<AudioDevice>& connected, const std::string& uid)
{
    return std::ranges::find(connected, uid, &AudioDevice::uid) != connected.end();
}

// Where routing wants the stream: absent when it leaves it where it is.
std::optional<std::string> destination(const CallPlacement& placement, bool call, Direction direction,
                                       const std::vector<AudioDevice>& connected, const StoredSettings& settings,
                                       bool lidClosed, const std::optional<std::string>& defaultUID)
{
    if (placement.byUser || placement.unmovable) return std::nullopt;
    if (call && settings.routeCalls(direction)) {
        const RulePick pick = pickDevice(settings.stack(direction, StackKind::calls), connected, direction, lidClosed);
        if (pick.chosen) return pick.chosen->uid;
    }
    // No calls device, routing off or no call any more: only what routing moved goes back to the default.
    if (placement.placedOn) return defaultUID;
    return std::nullopt;
}

} // namespace

CallRecognition::CallRecognition(const std::vector<AudioStream>& streams, const StoredSettings& settings,
                                 std::set<std::string>& talking)
{
    const std::vector<std::string>& listed = settings.callsApplications;
    std::set<std::string> listedCallers;
    std::set<std::string> recording;
    std::set<std::string> playing;
    for (const AudioStream& stream : streams) {
        const std::string& caller = stream.caller();
        if (caller.empty()) continue;
        // Entries of earlier versions name one of the program's streams.
        if (settings.callsFromAnyProgram || std::ranges::find(listed, caller) != listed.end()
            || std::ranges::find(listed, stream.application) != listed.end()) {
            listedCallers.insert(caller);
        }
        (stream.direction == Direction::input ? recording : playing).insert(caller);
    }
    for (const std::string& caller : listedCallers) {
        const bool stillOpen = talking.contains(caller) && (recording.contains(caller) || playing.contains(caller));
        if (stillOpen || (recording.contains(caller) && playing.contains(caller))) talking_.insert(caller);
    }
    talking = talking_;
    for (const AudioStream& stream : streams) {
        if (isCall(stream)) inCall_.insert(stream.caller());
    }
}

bool CallRecognition::isCall(const AudioStream& stream) const
{
    if (equalsIgnoringCase(stream.role, "phone") || equalsIgnoringCase(stream.role, "communication")) return true;
    return talking_.contains(stream.caller());
}

RoutingDecision routeCalls(const std::vector<AudioStream>& streams, const CallRecognition& calls,
                           const std::vector<AudioDevice>& connected, const StoredSettings& settings, bool lidClosed,
                           const SystemDefaults& defaults, CallPlacements& placements)
{
    RoutingDecision decision;
    CallPlacements next;
    for (const AudioStream& stream : streams) {
        const CallKey key{stream.direction, stream.id};
        const auto known = placements.find(key);
        const bool isNew = known == placements.end();
        // A stream that stopped being a call (its application unmarked) is given back once.
        const bool call = calls.isCall(stream);
        if (!call && isNew) continue;
        const std::optional<std::string> defaultUID = defaults.uid(stream.direction);
        CallPlacement placement = isNew ? CallPlacement{} : known->second;
        if (placement.inFlight == stream.deviceUID) placement.inFlight.reset();
        // While the server moves a stream it is on no device for a moment: no move of anyone's,
        // and the stream counts as still where it was.
        const bool between = stream.deviceUID.empty();
        if (!isNew && !between && stream.deviceUID != placement.lastDevice
            && !placement.sentTo.contains(stream.deviceUID)) {
            // Moved by someone else. The server's own moves are not the user's: a stream
            // following the default goes with it, and one whose device went is rescued, to the
            // default as a rule (the device list may tell that it went only after the move).
            const bool byServer = stream.deviceUID == defaultUID || !isConnected(connected, placement.lastDevice);
            if (!byServer) {
                placement.byUser = true;
                placement.inFlight.reset();
            }
        }
        if (!between) placement.lastDevice = stream.deviceUID;
        if (!stream.movable && !placement.unmovable) {
            placement.unmovable = true;
            placement.inFlight.reset();
            decision.stuck.push_back({stream.direction, stream.id, stream.caller()});
        }

        const std::optional<std::string> target =
            destination(placement, call, stream.direction, connected, settings, lidClosed, defaultUID);
        if (call && !between && target && stream.deviceUID == *target && target != defaultUID
            && placement.toldOn != target) {
            placement.toldOn = target;
            decision.landed.push_back({stream.direction, stream.caller(), *target});
        }
        // A move on its way decides where the stream is: the look may be older than the move.
        const std::string& current = placement.inFlight ? *placement.inFlight : placement.lastDevice;
        if (target && !target->empty() && *target != current) {
            decision.moves.push_back({stream.direction, stream.id, *target});
            placement.sentTo.insert(*target);
            placement.placedOn = target;
            placement.inFlight = target;
        }
        // A stream at the default follows it again: the server forgets a move to the default.
        if (placement.placedOn == defaultUID) placement.placedOn.reset();
        if (call) next.emplace(key, std::move(placement));
    }
    placements = std::move(next);
    return decision;
}

void forgetMove(CallPlacements& placements, const StreamMove& move)
{
    const auto placement = placements.find({move.direction, move.id});
    if (placement != placements.end() && placement->second.inFlight == move.toUID) placement->second.inFlight.reset();
}

} // namespace vantorelle
