#pragma once

#include "audio/pulse/PulseEndpoint.h"

#include <chrono>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace vantorelle::pulse {

// Decides which of the server's sink and source events are device-list changes. Monitors and
// placeholders come and go unnoticed; a change of what an endpoint's ports allow (a jack plugged,
// a monitor asleep) counts while volume changes do not; and a Bluetooth headset that changes
// profile, which servers do by removing its endpoints and making new ones while its card stays
// (PipeWire with a gap of 10 ms to several hundred), is held until the new profile's endpoints
// are there, so the owner never sees the headset gone. A card that goes ends a hold at once.
class DeviceChangeFilter {
public:
    enum class Verdict {
        none,   // nothing the owner needs to know
        change, // a device-list change
        hold,   // a profile change is under way: wait for settle() (or another verdict)
        // The end of profile changes and nothing else: the devices are as they were, give or
        // take the profile's own microphone, so a look is due but no news.
        quietChange,
    };

    // How long a profile change may take before the headset counts as gone.
    static constexpr std::chrono::milliseconds profileChangeBound{1500};

    void reset();

    void cardAppeared(std::uint32_t card);
    Verdict cardRemoved(std::uint32_t card);
    // A "new" event, before its facts: outside a hold it may be taken as a device-list change at
    // once (a monitor or placeholder only costs a look), which saves waiting for the facts.
    Verdict endpointAnnounced() const noexcept;
    // A "change" event, before its facts: one of an endpoint not known yet announces a new one
    // (PulseAudio tells of a new endpoint's changes before it tells that it is new).
    Verdict endpointChanged(Direction direction, std::uint32_t index) const;
    // The facts of an endpoint, from a listing (isNew false) or after its "new" event;
    // `lookedAt`: the owner's latest look saw it already, so it is no news.
    Verdict endpointSeen(const PulseEndpoint& endpoint, bool isNew, bool lookedAt = false);
    Verdict endpointRemoved(Direction direction, std::uint32_t index);
    // The owner asked to look again: during a hold, when the hold ends.
    Verdict resync() noexcept;
    // The wait of a hold is over; a change when one was held.
    Verdict settle();
    bool isHolding() const noexcept { return !changing_.empty(); }

private:
    struct Seen {
        bool visible = true;
        bool usable = true;
        bool bluetooth = false;
        std::uint32_t card = 0;
    };
    static std::uint64_t keyOf(Direction direction, std::uint32_t index) noexcept;
    Verdict whileHolding(Verdict verdict) noexcept;

    std::unordered_map<std::uint64_t, Seen> seen_;
    std::unordered_set<std::uint32_t> cards_;
    // Cards whose Bluetooth endpoints went while the card stayed, and those of them whose new
    // profile's endpoints have come.
    std::unordered_set<std::uint32_t> changing_;
    std::unordered_set<std::uint32_t> refilled_;
    bool heldChange_ = false;
    // Something other than the changing headsets' own endpoints changed during the hold.
    bool heldOtherChange_ = false;
};

} // namespace vantorelle::pulse
