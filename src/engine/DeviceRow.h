#pragma once

#include "model/AudioDevice.h"

#include <string>

namespace vantorelle {

// One stack entry as the views show it; `uid` is its identity.
struct DeviceRow {
    std::string uid;
    // What the user sees: the alias when there is one, else the device's own name.
    std::string name;
    bool isConnected = false;
    bool isActive = false;
    bool isBuiltIn = false;
    bool lidBlocked = false;
    // As the server describes the connected device; `other` when not connected.
    DeviceKind kind = DeviceKind::other;
    // The device's own name (the connected device's, else the stored one).
    std::string deviceName{};
    // False: never chosen by the rule, only by hand.
    bool isAutomatic = true;
    // The server's icon for the connected device (`device.icon_name`); empty when it gives none.
    std::string iconName{};
    // A choice by hand may take it: connected, working in the direction, not lid-blocked.
    bool isUsable = false;
    // The rule may take it: usable, and the user lets the rule choose it.
    bool ruleMayChoose = false;

    bool operator==(const DeviceRow&) const = default;
};

} // namespace vantorelle
