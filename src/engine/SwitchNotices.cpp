#include "engine/SwitchNotices.h"

#include <algorithm>

namespace vantorelle {

std::optional<NoticeText> switchNotice(Direction direction, const SwitchEvent& event)
{
    const std::optional<std::string>& current = event.current;
    if (!current || (event.from && *event.from == *current)) return std::nullopt;
    const auto device = std::ranges::find(event.connected, *current, &AudioDevice::uid);
    // A default outside the known devices is not announced.
    if (device == event.connected.end()) return std::nullopt;
    const std::string& newName = device->name;

    NoticeText notice{direction == Direction::input ? "Input switched" : "Output switched", {}};
    const auto removedFrom =
        event.from ? std::ranges::find(event.removed, *event.from, &AudioDevice::uid) : event.removed.end();
    if (std::ranges::find(event.added, *current, &AudioDevice::uid) != event.added.end()) {
        notice.body = newName + " connected \u2014 now active";
    } else if (removedFrom != event.removed.end()) {
        notice.body = removedFrom->name + " disconnected \u2014 " + newName + " is now active";
    } else if (event.lidNowClosed == true) {
        notice.body = "Lid closed \u2014 " + newName + " is now active";
    } else if (event.lidNowClosed == false) {
        notice.body = "Lid open \u2014 " + newName + " is now active";
    } else {
        notice.body = newName + " is now active";
    }
    return notice;
}

NoticeText deviceNotice(const AudioDevice& device, bool connected)
{
    return NoticeText{connected ? "Device connected" : "Device removed", device.name};
}

NoticeText callNotice(const std::string& deviceName)
{
    return NoticeText{"Call audio", deviceName + " is used for this call"};
}

} // namespace vantorelle
