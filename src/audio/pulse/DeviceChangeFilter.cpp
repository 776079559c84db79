#include "audio/pulse/DeviceChangeFilter.h"

#include "audio/pulse/PulseDeviceMapping.h"

#include <pulse/def.h>

#include <algorithm>
#include <utility>

namespace vantorelle::pulse {

std::uint64_t DeviceChangeFilter::keyOf(Direction direction, std::uint32_t index) noexcept
{
    return (direction == Direction::input ? (std::uint64_t{1} << 32) : 0) | index;
}

void DeviceChangeFilter::reset()
{
    seen_.clear();
    cards_.clear();
    changing_.clear();
    refilled_.clear();
    heldChange_ = false;
    heldOtherChange_ = false;
}

// Any change while a headset changes profile waits with it, so no pass sees the headset gone.
DeviceChangeFilter::Verdict DeviceChangeFilter::whileHolding(Verdict verdict) noexcept
{
    if (!isHolding() || verdict == Verdict::none) return verdict;
    heldChange_ = true;
    heldOtherChange_ = true;
    return Verdict::hold;
}

void DeviceChangeFilter::cardAppeared(std::uint32_t card)
{
    cards_.insert(card);
}

DeviceChangeFilter::Verdict DeviceChangeFilter::cardRemoved(std::uint32_t card)
{
    cards_.erase(card);
    refilled_.erase(card);
    if (changing_.erase(card) == 0) return Verdict::none;
    // A real disconnect, which is news: what was held is due now.
    if (isHolding()) {
        heldOtherChange_ = true;
        return Verdict::hold;
    }
    heldChange_ = false;
    heldOtherChange_ = false;
    return Verdict::change;
}

DeviceChangeFilter::Verdict DeviceChangeFilter::endpointAnnounced() const noexcept
{
    // During a hold only the facts tell a new profile's endpoint from other news.
    return isHolding() ? Verdict::none : Verdict::change;
}

DeviceChangeFilter::Verdict DeviceChangeFilter::endpointChanged(Direction direction, std::uint32_t index) const
{
    return seen_.contains(keyOf(direction, index)) ? Verdict::none : endpointAnnounced();
}

DeviceChangeFilter::Verdict DeviceChangeFilter::endpointSeen(const PulseEndpoint& endpoint, bool isNew, bool lookedAt)
{
    const Seen now{!isHiddenEndpoint(endpoint), isUsableEndpoint(endpoint), isBluetoothEndpoint(endpoint),
                   endpoint.card};
    const auto [known, inserted] = seen_.try_emplace(keyOf(endpoint.direction, endpoint.index), now);
    // PulseAudio may tell of a change of a new endpoint before it tells that it is new.
    if (inserted || isNew) {
        known->second = now;
        if (!isNew || !now.visible) return Verdict::none;
        // The new profile's endpoints are coming: the hold settles shortly after the last one.
        if (now.bluetooth && changing_.contains(now.card)) {
            refilled_.insert(now.card);
            heldChange_ = true;
            return Verdict::hold;
        }
        return lookedAt ? Verdict::none : whileHolding(Verdict::change);
    }
    const bool usabilityChanged = known->second.usable != now.usable;
    known->second = now;
    return whileHolding(now.visible && usabilityChanged ? Verdict::change : Verdict::none);
}

DeviceChangeFilter::Verdict DeviceChangeFilter::endpointRemoved(Direction direction, std::uint32_t index)
{
    const auto known = seen_.find(keyOf(direction, index));
    if (known == seen_.end()) return whileHolding(Verdict::change); // unknown: look again
    const Seen gone = known->second;
    seen_.erase(known);
    if (!gone.visible) return Verdict::none;
    if (gone.bluetooth && gone.card != PA_INVALID_INDEX && cards_.contains(gone.card)) {
        changing_.insert(gone.card);
        heldChange_ = true;
        return Verdict::hold;
    }
    return whileHolding(Verdict::change);
}

DeviceChangeFilter::Verdict DeviceChangeFilter::resync() noexcept
{
    if (!isHolding()) return Verdict::change;
    heldChange_ = true;
    return Verdict::hold;
}

DeviceChangeFilter::Verdict DeviceChangeFilter::settle()
{
    // A headset whose new profile never came is gone as far as anyone can tell: that is news.
    const bool lost = std::ranges::any_of(changing_, [this](std::uint32_t card) { return !refilled_.contains(card); });
    changing_.clear();
    refilled_.clear();
    const bool other = std::exchange(heldOtherChange_, false) || lost;
    if (!std::exchange(heldChange_, false)) return Verdict::none;
    return other ? Verdict::change : Verdict::quietChange;
}

} // namespace vantorelle::pulse
