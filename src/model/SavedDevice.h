#pragma once

#include <string>

namespace vantorelle {

// One entry of a stack. The name is the one last seen, so a disconnected device can still be
// shown by name.
struct SavedDevice {
    std::string uid;
    std::string name;

    bool operator==(const SavedDevice&) const = default;
};

} // namespace vantorelle
