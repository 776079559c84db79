#pragma once

#include "model/Direction.h"
#include "model/SavedDevice.h"

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
};

} // namespace vantorelle
