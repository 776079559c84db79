#include "engine/SwitchRule.h"

#include "engine/DeviceStacks.h"

namespace vantorelle {

std::optional<PassedOver> ruleSkips(const SavedDevice& entry, const AudioDevice* connected, Direction direction,
                                    bool lidClosed) noexcept
{
    if (!entry.automatic) return PassedOver::notAutomatic;
    const std::optional<Unusable> why = unusable(connected, direction, lidClosed);
    if (!why) return std::nullopt;
    switch (*why) {
    case Unusable::notConnected:
        return PassedOver::notConnected;
    case Unusable::otherDirection:
        return PassedOver::otherDirection;
    case Unusable::lidClosed:
        return PassedOver::lidClosed;
    }
    return PassedOver::notConnected;
}

RulePick pickDevice(const std::vector<SavedDevice>& stack, const std::vector<AudioDevice>& connected,
                    Direction direction, bool lidClosed)
{
    const auto byUID = stacks::indexByUID(connected);
    RulePick pick;
    for (const SavedDevice& entry : stack) {
        const AudioDevice* device = stacks::find(byUID, entry.uid);
        if (const std::optional<PassedOver> reason = ruleSkips(entry, device, direction, lidClosed)) {
            pick.passedOver.emplace_back(entry.uid, *reason);
            continue;
        }
        pick.chosen = device;
        break;
    }
    return pick;
}

const char* describe(PassedOver reason) noexcept
{
    switch (reason) {
    case PassedOver::notConnected:
        return "not connected";
    case PassedOver::otherDirection:
        return "does not work in this direction";
    case PassedOver::lidClosed:
        return "built in, lid closed";
    case PassedOver::notAutomatic:
        return "never chosen automatically";
    }
    return "";
}

} // namespace vantorelle
