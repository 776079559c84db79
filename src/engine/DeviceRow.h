#pragma once

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

    bool operator==(const DeviceRow&) const = default;
};

} // namespace vantorelle
