#pragma once

#include "model/AudioDevice.h"

#include <string>

namespace vantorelle {

// One stack entry as the views show it; `uid` is its identity.
struct DeviceRow {
    std::string uid;
    std::string name;
    bool isConnected = false;
    bool isActive = false;
    bool isBuiltIn = false;
    bool lidBlocked = false;
    // As the server describes the connected device; `other` when not connected.
    DeviceKind kind = DeviceKind::other;

    bool operator==(const DeviceRow&) const = default;
};

} // namespace vantorelle
