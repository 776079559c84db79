#pragma once

#include "engine/NoticeText.h"
#include "model/AudioDevice.h"
#include "model/Direction.h"

#include <optional>
#include <string>
#include <vector>

namespace vantorelle {

// What changed in one event, for the switch notice of a direction.
struct SwitchEvent {
    // The default before the event and now; `connected` for the new default's name.
    std::optional<std::string> from;
    std::optional<std::string> current;
    const std::vector<AudioDevice>& connected;
    const std::vector<AudioDevice>& added;
    const std::vector<AudioDevice>& removed;
    // Present only for a lid change: the new state.
    std::optional<bool> lidNowClosed;
};

// "Input switched" or "Output switched", with the reason; nothing when the default did not
// change, is absent, or is not among the connected devices.
std::optional<NoticeText> switchNotice(Direction direction, const SwitchEvent& event);

// The switch notice for a default that moved to a device just connected, `name`.
NoticeText connectedNowActiveNotice(Direction direction, const std::string& name);

// "Device connected" or "Device removed", with the device's name.
NoticeText deviceNotice(const AudioDevice& device, bool connected);

// "Call audio": a call began on `deviceName`, which is not the default.
NoticeText callNotice(const std::string& deviceName);

} // namespace vantorelle
