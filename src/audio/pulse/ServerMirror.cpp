#include "audio/pulse/ServerMirror.h"

#include "audio/pulse/PulseDeviceMapping.h"

#include <pulse/def.h>

#include <algorithm>
#include <utility>

namespace vantorelle::pulse {

namespace {

MirrorChange stronger(MirrorChange a, MirrorChange b) noexcept
{
    if (a == MirrorChange::news || b == MirrorChange::news) return MirrorChange::news;
    if (a == MirrorChange::quiet || b == MirrorChange::quiet) return MirrorChange::quiet;
    return MirrorChange::none;
}

std::string& nameIn(PulseServerDefaults& defaults, Direction direction) noexcept
{
    return direction == Direction::input ? defaults.source : defaults.sink;
}

template <typename Record>
void keepByIndex(std::map<std::uint32_t, Record>& kept, std::vector<Record> records)
{
    kept.clear();
    for (Record& record : records) {
        const std::uint32_t index = record.index;
        kept.insert_or_assign(index, std::move(record));
    }
}

} // namespace

ServerMirror::ServerMirror(std::chrono::milliseconds settleAfterAbsence)
    : settleAfterAbsence_(settleAfterAbsence)
{
}

void ServerMirror::beginLook(bool afterAbsence, TimePoint now)
{
    sinks_.clear();
    sources_.clear();
    cards_.clear();
    defaults_ = {};
    looked_.reset();
    acknowledged_ = {};
    ownSets_ = {};
    choosingModules_.clear();
    hold_ = {};
    settlingUntil_.reset();
    if (afterAbsence) settlingUntil_ = now + settleAfterAbsence_;
}

void ServerMirror::lost()
{
    looked_.reset();
    hold_ = {};
}

MirrorChange ServerMirror::partListed(Part part)
{
    const bool wasComplete = isComplete();
    looked_.set(part);
    return !wasComplete && isComplete() ? MirrorChange::quiet : MirrorChange::none;
}

MirrorChange ServerMirror::listed(Direction direction, std::vector<PulseEndpoint> endpoints)
{
    keepByIndex(endpointsOf(direction), std::move(endpoints));
    return partListed(direction == Direction::input ? sources : sinks);
}

MirrorChange ServerMirror::listedCards(std::vector<PulseCard> cards)
{
    keepByIndex(cards_, std::move(cards));
    return partListed(cardList);
}

MirrorChange ServerMirror::listedDefaults(PulseServerDefaults defaults)
{
    defaults_ = std::move(defaults);
    return partListed(serverInfo);
}

MirrorChange ServerMirror::listedModules(std::set<std::uint32_t> choosers)
{
    choosingModules_ = std::move(choosers);
    return partListed(moduleList);
}

void ServerMirror::moduleArrived(std::uint32_t index, bool choosesDefaults)
{
    if (choosesDefaults) choosingModules_.insert(index);
    else choosingModules_.erase(index);
}

void ServerMirror::moduleRemoved(std::uint32_t index)
{
    choosingModules_.erase(index);
}

std::optional<OtherChooser> ServerMirror::otherChooser() const
{
    if (!choosingModules_.empty()) return OtherChooser::switchOnConnect;
    if (std::ranges::any_of(overriddenInARow_, [](int count) { return count >= 2; })) return OtherChooser::overridesSets;
    return std::nullopt;
}

void ServerMirror::watchOwnSets(const PulseServerDefaults& reported, TimePoint now)
{
    for (const Direction direction : allDirections) {
        std::optional<OwnSet>& own = ownSets_[slotOf(direction)];
        if (!own || own->overridden) continue;
        const std::string& name = reported.of(direction);
        if (name == own->name) {
            own->inEffect = true;
        } else if (own->inEffect && now < own->at + overrideWindow && !name.empty()
                   && findNamed(direction, own->name)) {
            // Our choice was in effect and is still there, yet something chose another.
            own->overridden = true;
            ++overriddenInARow_[slotOf(direction)];
        }
    }
}

MirrorChange ServerMirror::news(TimePoint now)
{
    if (isHolding()) {
        hold_.news = true;
        return MirrorChange::none;
    }
    if (settlingUntil_ && now < *settlingUntil_) return MirrorChange::quiet;
    return MirrorChange::news;
}

MirrorChange ServerMirror::removedEndpoint(const PulseEndpoint& gone, TimePoint now)
{
    if (isHiddenEndpoint(gone)) return MirrorChange::none;
    if (isBluetoothEndpoint(gone) && gone.card != PA_INVALID_INDEX && cards_.contains(gone.card)) {
        // Its card stays: a profile change has begun, or another step of one.
        if (hold_.changing.insert(gone.card).second) hold_.bound = now + profileChangeBound;
        hold_.refilled.erase(gone.card);
        return MirrorChange::none;
    }
    return news(now);
}

MirrorChange ServerMirror::endpointArrived(PulseEndpoint endpoint, TimePoint now)
{
    Endpoints& list = endpointsOf(endpoint.direction);
    auto known = list.find(endpoint.index);
    MirrorChange result = MirrorChange::none;
    if (known != list.end() && known->second.name != endpoint.name) {
        // PipeWire hands a freed index to the next node: the old one went first.
        const PulseEndpoint gone = std::move(known->second);
        list.erase(known);
        known = list.end();
        if (isComplete()) result = removedEndpoint(gone, now);
    }
    if (!isComplete()) {
        list.insert_or_assign(endpoint.index, std::move(endpoint));
        return MirrorChange::none;
    }
    const bool visible = !isHiddenEndpoint(endpoint);
    if (known == list.end()) {
        const bool bluetooth = isBluetoothEndpoint(endpoint);
        const std::uint32_t card = endpoint.card;
        list.emplace(endpoint.index, std::move(endpoint));
        if (!visible) return result;
        if (bluetooth && hold_.changing.contains(card)) {
            // The new profile's endpoints are coming: the hold settles shortly after the last.
            hold_.refilled.insert(card);
            hold_.settlesAt = now + profileSettling;
            return result;
        }
        return stronger(result, news(now));
    }
    const bool usabilityChanged = isUsableEndpoint(known->second) != isUsableEndpoint(endpoint);
    known->second = std::move(endpoint);
    // Most changes are volume; only what the ports allow changes a device list.
    return visible && usabilityChanged ? news(now) : MirrorChange::none;
}

MirrorChange ServerMirror::endpointRemoved(Direction direction, std::uint32_t index, TimePoint now)
{
    Endpoints& list = endpointsOf(direction);
    const auto known = list.find(index);
    if (known == list.end()) return MirrorChange::none;
    const PulseEndpoint gone = std::move(known->second);
    list.erase(known);
    return isComplete() ? removedEndpoint(gone, now) : MirrorChange::none;
}

void ServerMirror::cardArrived(PulseCard card)
{
    const std::uint32_t index = card.index;
    cards_.insert_or_assign(index, std::move(card));
}

MirrorChange ServerMirror::cardRemoved(std::uint32_t index, TimePoint now)
{
    cards_.erase(index);
    hold_.refilled.erase(index);
    if (hold_.changing.erase(index) == 0) return MirrorChange::none;
    // The headset went with its card: a real disconnect, told at once.
    hold_.news = true;
    return hold_.changing.empty() ? endHold(false, now) : MirrorChange::none;
}

MirrorChange ServerMirror::endHold(bool lost, TimePoint now)
{
    const bool wasNews = hold_.news || lost;
    hold_ = {};
    return wasNews ? news(now) : MirrorChange::quiet;
}

MirrorChange ServerMirror::tick(TimePoint now)
{
    if (!isHolding()) return MirrorChange::none;
    const bool allRefilled = hold_.allRefilled();
    if (allRefilled && hold_.settlesAt && now >= *hold_.settlesAt) return endHold(false, now);
    // A headset whose new profile never came is gone as far as anyone can tell.
    if (hold_.bound && now >= *hold_.bound) return endHold(!allRefilled, now);
    return MirrorChange::none;
}

std::optional<ServerMirror::TimePoint> ServerMirror::nextDeadline() const
{
    if (!isHolding()) return std::nullopt;
    std::optional<TimePoint> next = hold_.bound;
    if (hold_.allRefilled() && hold_.settlesAt && (!next || *hold_.settlesAt < *next)) next = hold_.settlesAt;
    return next;
}

bool ServerMirror::defaultsReported(const PulseServerDefaults& reported, TimePoint now)
{
    watchOwnSets(reported, now);
    PulseServerDefaults next = reported;
    for (const Direction direction : allDirections) {
        std::optional<Acknowledged>& acknowledged = acknowledged_[slotOf(direction)];
        if (!acknowledged) continue;
        if (reported.of(direction) == acknowledged->name || now >= acknowledged->until) {
            acknowledged.reset();
            continue;
        }
        // A report from before the server acted on our set (PipeWire's session manager applies
        // an accepted default a moment later).
        nameIn(next, direction) = acknowledged->name;
    }
    if (next == defaults_) return false;
    defaults_ = std::move(next);
    return true;
}

bool ServerMirror::setAcknowledged(Direction direction, const std::string& name, TimePoint now)
{
    std::optional<OwnSet>& own = ownSets_[slotOf(direction)];
    // The previous set stood: whatever changed defaults before is not doing it any more.
    if (own && !own->overridden) overriddenInARow_[slotOf(direction)] = 0;
    own = OwnSet{name, now};
    acknowledged_[slotOf(direction)] = Acknowledged{name, now + acknowledgedSetStands};
    std::string& current = nameIn(defaults_, direction);
    if (current == name) return false;
    current = name;
    return true;
}

std::vector<AudioDevice> ServerMirror::devices() const
{
    std::vector<AudioDevice> result;
    result.reserve(sinks_.size() + sources_.size());
    for (const Endpoints* list : {&sinks_, &sources_}) {
        for (const auto& [index, endpoint] : *list) {
            if (std::optional<AudioDevice> device = deviceOf(endpoint)) result.push_back(std::move(*device));
        }
    }
    return result;
}

SystemDefaults ServerMirror::defaultDevices() const
{
    SystemDefaults result;
    result.otherChooser = otherChooser();
    for (const Direction direction : allDirections) {
        const PulseEndpoint* endpoint = findNamed(direction, defaults_.of(direction));
        // A monitor the user chose is a real default and stays.
        if (!endpoint || isPlaceholderEndpoint(*endpoint)) continue;
        (direction == Direction::input ? result.input : result.output) = DefaultDevice{uidOf(*endpoint), nameOf(*endpoint)};
    }
    return result;
}

PulseServerDefaults ServerMirror::inPulseNames(PulseServerDefaults recorded) const
{
    if (!findNamed(Direction::input, recorded.source) && findNamed(Direction::output, recorded.source)) {
        recorded.source += ".monitor";
    }
    return recorded;
}

const PulseEndpoint* ServerMirror::findDevice(Direction direction, const std::string& uid) const
{
    for (const auto& [index, endpoint] : endpointsOf(direction)) {
        if (deviceOf(endpoint) && uidOf(endpoint) == uid) return &endpoint;
    }
    return nullptr;
}

const PulseEndpoint* ServerMirror::findIndexed(Direction direction, std::uint32_t index) const
{
    const auto found = endpointsOf(direction).find(index);
    return found == endpointsOf(direction).end() ? nullptr : &found->second;
}

const PulseEndpoint* ServerMirror::findNamed(Direction direction, const std::string& name) const
{
    if (name.empty()) return nullptr;
    for (const auto& [index, endpoint] : endpointsOf(direction)) {
        if (endpoint.name == name) return &endpoint;
    }
    return nullptr;
}

} // namespace vantorelle::pulse
