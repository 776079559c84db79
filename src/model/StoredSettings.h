#pragma once

#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/SavedDevice.h"

#include <string>
#include <vector>

namespace vantorelle {

// A direction's stacks: the main one for the default, and the one for calls.
enum class StackKind { main, calls };

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
    // Calls go to their own stacks' pick while routing is on for their direction.
    std::vector<SavedDevice> callsInputPriority;
    std::vector<SavedDevice> callsOutputPriority;
    bool routeCallsInput = false;
    bool routeCallsOutput = false;
    // Programs whose sound is a call while they both record and play: a program (AudioStream's
    // caller()) or, as earlier versions stored them, the `application.name` of one of its streams.
    std::vector<std::string> callsApplications;
    // Any program that both records and plays is in a call.
    bool callsFromAnyProgram = false;

    bool operator==(const StoredSettings&) const = default;

    std::vector<SavedDevice>& priority(Direction direction)
    {
        return direction == Direction::input ? inputPriority : outputPriority;
    }
    const std::vector<SavedDevice>& priority(Direction direction) const
    {
        return direction == Direction::input ? inputPriority : outputPriority;
    }

    std::vector<SavedDevice>& stack(Direction direction, StackKind kind)
    {
        if (kind == StackKind::main) return priority(direction);
        return direction == Direction::input ? callsInputPriority : callsOutputPriority;
    }
    const std::vector<SavedDevice>& stack(Direction direction, StackKind kind) const
    {
        if (kind == StackKind::main) return priority(direction);
        return direction == Direction::input ? callsInputPriority : callsOutputPriority;
    }
    // The user ever gave calls a device of their own, or marked a calls application.
    bool usesCalls() const noexcept
    {
        return !callsInputPriority.empty() || !callsOutputPriority.empty() || routeCallsInput || routeCallsOutput
            || !callsApplications.empty() || callsFromAnyProgram;
    }
    bool routeCalls(Direction direction) const noexcept
    {
        return direction == Direction::input ? routeCallsInput : routeCallsOutput;
    }

    // The user's name for a device (from the first entry with this UID that has one, the
    // direction's stack first: a headset is in both), else `deviceName`.
    std::string shownName(const std::string& uid, const std::string& deviceName,
                          Direction preferred = Direction::input) const
    {
        const Direction other = preferred == Direction::input ? Direction::output : Direction::input;
        for (const Direction direction : {preferred, other}) {
            for (const SavedDevice& entry : priority(direction)) {
                if (entry.uid == uid && !entry.alias.empty()) return vantorelle::shownName(entry, deviceName);
            }
        }
        return deviceName;
    }
    // The name shown for a device known by UID alone (a default, say): the user's name for it,
    // else the connected device's own, else the one it was last seen with, else `unknown`.
    std::string shownName(const std::string& uid, const std::vector<AudioDevice>& connected, Direction direction,
                          const std::string& unknown) const
    {
        for (const AudioDevice& device : connected) {
            if (device.uid == uid) return shownName(uid, device.name, direction);
        }
        for (const SavedDevice& entry : priority(direction)) {
            if (entry.uid == uid) return shownName(uid, entry.name, direction);
        }
        return shownName(uid, unknown, direction);
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
