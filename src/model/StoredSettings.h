#pragma once

#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/SavedDevice.h"

#include <string>
#include <vector>

namespace vantorelle {

// Everything the user chose, both stacks included. Index 0 of a stack is rank 1.
struct StoredSettings {
    std::vector<SavedDevice> inputPriority;
    std::vector<SavedDevice> outputPriority;
    bool autoSwitchInput = true;
    bool autoSwitchOutput = true;
    bool notifyInputSwitch = true;
    bool notifyOutputSwitch = true;
    bool notifyDeviceChange = false;
    bool notifySound = false;

    bool operator==(const StoredSettings&) const = default;

    std::vector<SavedDevice>& priority(Direction direction)
    {
        return direction == Direction::input ? inputPriority : outputPriority;
    }
    const std::vector<SavedDevice>& priority(Direction direction) const
    {
        return direction == Direction::input ? inputPriority : outputPriority;
    }

    // The user's name for a device (from the first entry with this UID that has one, the
    // direction's stack first: a headset is in both), else `deviceName`.
    std::string shownName(const std::string& uid, const std::string& deviceName,
                          Direction preferred = Direction::input) const
    {
        const Direction other = preferred == Direction::input ? Direction::output : Direction::input;
        for (const Direction direction : {preferred, other}) {
            for (const SavedDevice& entry : priority(direction)) {
                if (entry.uid == uid && !entry.alias.empty()) return entry.alias;
            }
        }
        return deviceName;
    }
};

// `devices` with the user's names for them in place of their own, for what is shown or told.
inline std::vector<AudioDevice> withShownNames(std::vector<AudioDevice> devices, const StoredSettings& settings,
                                               Direction preferred = Direction::input)
{
    for (AudioDevice& device : devices) device.name = settings.shownName(device.uid, device.name, preferred);
    return devices;
}

} // namespace vantorelle
