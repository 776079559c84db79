#include "engine/SwitchRule.h"

#include "engine/DeviceStacks.h"

namespace vantorelle {

RulePick pickDevice(const std::vector<SavedDevice>& stack, const std::vector<AudioDevice>& connected,
                    Direction direction, bool lidClosed)
{
    const auto byUID = stacks::indexByUID(connected);
    RulePick pick;
    for (const SavedDevice& entry : stack) {
        if (!entry.automatic) {
            pick.passedOver.emplace_back(entry.uid, PassedOver::notAutomatic);
            continue;
        }
        const auto it = byUID.find(entry.uid);
        if (it == byUID.end()) {
            pick.passedOver.emplace_back(entry.uid, PassedOver::notConnected);
            continue;
        }
        const AudioDevice& device = *it->second;
        if (!worksIn(device, direction)) {
            pick.passedOver.emplace_back(entry.uid, PassedOver::otherDirection);
        } else if (direction == Direction::input && device.isBuiltIn && lidClosed) {
            pick.passedOver.emplace_back(entry.uid, PassedOver::lidClosed);
        } else {
            pick.chosen = &device;
            break;
        }
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
