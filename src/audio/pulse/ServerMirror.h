#pragma once

#include "engine/AudioSystem.h"
#include "audio/pulse/PulseEndpoint.h"
#include "audio/pulse/PulseServerDefaults.h"
#include "model/OtherChooser.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantorelle::pulse {

// What one update means to the owner.
enum class MirrorChange {
    none,  // nothing a device list shows
    news,  // a device-list change: plugs and unplugs are announced
    quiet, // the devices are to be looked at again, but nothing is news (a first look, a profile change)
};

// The server as its events and answers tell it: sinks, sources, cards and the defaults, and the
// one place that decides what a change means. A Bluetooth headset changing profile loses its
// endpoints while its card stays and gets the new profile's a moment later (PipeWire: 10 ms to
// several hundred); that is held, so no device list ever shows the headset gone, and ends quietly
// once the new endpoints have settled, or as news when its card goes or no endpoint comes in time.
// The first complete look after a (re)connection is quiet, and so is what a server that has just
// (re)appeared brings up in the moments after. Pure state: the caller hands in the time and calls
// tick() at nextDeadline().
class ServerMirror {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // How long a profile change may take before the headset counts as gone.
    static constexpr std::chrono::milliseconds profileChangeBound{1500};
    // How long after the new profile's latest endpoint the change is taken as done.
    static constexpr std::chrono::milliseconds profileSettling{50};
    // How long a default the server acknowledged stands against older reports of the defaults.
    static constexpr std::chrono::milliseconds acknowledgedSetStands{1000};
    // A default changed within this time after one of our sets took effect is another
    // program's answer to it.
    static constexpr std::chrono::milliseconds overrideWindow{500};

    explicit ServerMirror(std::chrono::milliseconds settleAfterAbsence = std::chrono::milliseconds(2000));

    // A connection begins its look: nothing is known until it completes. `afterAbsence`: the
    // server was away (or not there yet), so what it brings up right after is no news either.
    void beginLook(bool afterAbsence, TimePoint now);
    // One part of the first look is in; the look completes with the last of them (quiet).
    MirrorChange listed(Direction direction, std::vector<PulseEndpoint> endpoints);
    MirrorChange listedCards(std::vector<PulseCard> cards);
    MirrorChange listedDefaults(PulseServerDefaults defaults);
    // The indexes of the loaded modules that choose defaults by themselves.
    MirrorChange listedModules(std::set<std::uint32_t> choosers);
    // The connection is gone: the last known state stays, but is no longer complete.
    void lost();

    // The facts of a new or changed endpoint; of a removed one; of cards.
    MirrorChange endpointArrived(PulseEndpoint endpoint, TimePoint now);
    MirrorChange endpointRemoved(Direction direction, std::uint32_t index, TimePoint now);
    void cardArrived(PulseCard card);
    MirrorChange cardRemoved(std::uint32_t index, TimePoint now);
    // The server's defaults as reported; true when the mirror's defaults changed.
    bool defaultsReported(const PulseServerDefaults& defaults, TimePoint now);
    // The server accepted a new default: it stands until a report confirms or the time is up.
    bool setAcknowledged(Direction direction, const std::string& name, TimePoint now);
    // A module was loaded (`choosesDefaults`: one that makes new devices the default) or went.
    void moduleArrived(std::uint32_t index, bool choosesDefaults);
    void moduleRemoved(std::uint32_t index);

    // Time-outs of holds and settling; call at nextDeadline().
    MirrorChange tick(TimePoint now);
    std::optional<TimePoint> nextDeadline() const;

    // Every list of the current connection's first look is in.
    bool isComplete() const noexcept { return looked_.all(); }
    // A headset is between two profiles: its devices are not to be read now.
    bool isHolding() const noexcept { return !hold_.changing.empty(); }

    // Reads.
    std::vector<AudioDevice> devices() const;
    const PulseServerDefaults& defaults() const noexcept { return defaults_; }
    // The defaults by UID, with the other chooser; the server's placeholder is no default, on
    // every server alike (PipeWire keeps "auto_null" as its default sink when nothing else exists).
    SystemDefaults defaultDevices() const;
    // Another program choosing defaults: a module of the server that does, or, failing that,
    // one that changed a default right after each of our last two sets of a direction.
    std::optional<OtherChooser> otherChooser() const;
    const PulseEndpoint* findNamed(Direction direction, const std::string& name) const;
    // Defaults as PipeWire records them, named as the pulse layer names them: a sink's monitor
    // chosen as the input goes by the sink's own name there, "<sink>.monitor" here.
    PulseServerDefaults inPulseNames(PulseServerDefaults recorded) const;
    // The endpoint with a server index, usable or not.
    const PulseEndpoint* findIndexed(Direction direction, std::uint32_t index) const;
    // The usable endpoint a device UID stands for.
    const PulseEndpoint* findDevice(Direction direction, const std::string& uid) const;

private:
    enum Part : std::size_t { sinks, sources, cardList, serverInfo, moduleList, parts };
    using Endpoints = std::map<std::uint32_t, PulseEndpoint>;
    Endpoints& endpointsOf(Direction direction) { return direction == Direction::input ? sources_ : sinks_; }
    const Endpoints& endpointsOf(Direction direction) const
    {
        return direction == Direction::input ? sources_ : sinks_;
    }
    MirrorChange partListed(Part part);
    // News while a headset changes profile waits with it; news right after a (re)appearance is quiet.
    MirrorChange news(TimePoint now);
    MirrorChange removedEndpoint(const PulseEndpoint& gone, TimePoint now);
    // The end of a hold: quiet, unless news waited with it or a headset never came back.
    MirrorChange endHold(bool lost, TimePoint now);
    // Follows what becomes of our latest set of each direction.
    void watchOwnSets(const PulseServerDefaults& reported, TimePoint now);

    std::chrono::milliseconds settleAfterAbsence_;
    Endpoints sinks_;
    Endpoints sources_;
    std::map<std::uint32_t, PulseCard> cards_;
    PulseServerDefaults defaults_;
    std::bitset<parts> looked_;
    // After a (re)appearance: changes until then are part of it.
    std::optional<TimePoint> settlingUntil_;
    // Cards whose Bluetooth endpoints went while the card stayed, and those of them whose new
    // profile's endpoints have come; when the hold ends at the latest, when it settles, and
    // whether news came while holding.
    struct Hold {
        std::set<std::uint32_t> changing;
        std::set<std::uint32_t> refilled;
        std::optional<TimePoint> bound;
        std::optional<TimePoint> settlesAt;
        bool news = false;

        bool allRefilled() const
        {
            return std::ranges::all_of(changing, [this](std::uint32_t card) { return refilled.contains(card); });
        }
    };
    Hold hold_;
    // A default the server acknowledged, per direction (input, output), until when it stands.
    struct Acknowledged {
        std::string name;
        TimePoint until;
    };
    std::array<std::optional<Acknowledged>, 2> acknowledged_;
    std::set<std::uint32_t> choosingModules_;
    // Our latest set per direction, whether a report showed it in effect and whether a change
    // came right after; and how many sets in a row were changed so.
    struct OwnSet {
        std::string name;
        TimePoint at;
        bool inEffect = false;
        bool overridden = false;
    };
    std::array<std::optional<OwnSet>, 2> ownSets_;
    std::array<int, 2> overriddenInARow_{};
};

} // namespace vantorelle::pulse
