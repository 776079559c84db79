#include "engine/SwitchNotices.h"

#include <algorithm>

namespace vantorelle {

namespace {

const char* switchTitle(Direction direction)
{
    //: Notice title: the default microphone (input device) changed.
    return direction == Direction::input ? VANTORELLE_TRANSLATABLE("Notice", "Input switched")
                                         //: Notice title: the default output device changed.
                                         : VANTORELLE_TRANSLATABLE("Notice", "Output switched");
}

} // namespace

NoticeText connectedNowActiveNotice(Direction direction, const std::string& name)
{
    //: %1 is the name of the device just plugged in, which is now the default.
    return NoticeText{switchTitle(direction), VANTORELLE_TRANSLATABLE("Notice", "%1 connected — now active"), {name}};
}

std::optional<NoticeText> switchNotice(Direction direction, const SwitchEvent& event)
{
    const std::optional<std::string>& current = event.current;
    if (!current || (event.from && *event.from == *current)) return std::nullopt;
    const auto device = std::ranges::find(event.connected, *current, &AudioDevice::uid);
    // A default outside the known devices is not announced.
    if (device == event.connected.end()) return std::nullopt;
    const std::string& newName = device->name;

    const auto removedFrom =
        event.from ? std::ranges::find(event.removed, *event.from, &AudioDevice::uid) : event.removed.end();
    if (std::ranges::find(event.added, *current, &AudioDevice::uid) != event.added.end()) {
        return connectedNowActiveNotice(direction, newName);
    }
    NoticeText notice{switchTitle(direction), {}, {newName}};
    if (removedFrom != event.removed.end()) {
        //: %1 is the device that went away, %2 the device that is now the default.
        notice.bodyPattern = VANTORELLE_TRANSLATABLE("Notice", "%1 disconnected — %2 is now active");
        notice.names.insert(notice.names.begin(), removedFrom->name);
    } else if (event.lidNowClosed == true) {
        //: The laptop's lid; %1 is the device that is now the default.
        notice.bodyPattern = VANTORELLE_TRANSLATABLE("Notice", "Lid closed — %1 is now active");
    } else if (event.lidNowClosed == false) {
        //: The laptop's lid; %1 is the device that is now the default.
        notice.bodyPattern = VANTORELLE_TRANSLATABLE("Notice", "Lid open — %1 is now active");
    } else {
        //: %1 is the device that is now the default.
        notice.bodyPattern = VANTORELLE_TRANSLATABLE("Notice", "%1 is now active");
    }
    return notice;
}

NoticeText deviceNotice(const AudioDevice& device, bool connected)
{
    //: Notice title; the body is the device's name.
    return NoticeText{connected ? VANTORELLE_TRANSLATABLE("Notice", "Device connected")
                                //: Notice title; the body is the device's name.
                                : VANTORELLE_TRANSLATABLE("Notice", "Device removed"),
                      "%1", {device.name}};
}

NoticeText callNotice(const std::string& deviceName)
{
    //: Notice title: a call's sound goes to a device of its own.
    return NoticeText{VANTORELLE_TRANSLATABLE("Notice", "Call audio"),
                      //: %1 is the device the call uses.
                      VANTORELLE_TRANSLATABLE("Notice", "%1 is used for this call"), {deviceName}};
}

} // namespace vantorelle
