#pragma once

#include "model/Direction.h"

#include <string>

namespace vantorelle::pulse {

// The server's default sink and source names; empty when it has none.
struct PulseServerDefaults {
    std::string sink;
    std::string source;

    bool operator==(const PulseServerDefaults&) const = default;
    const std::string& of(Direction direction) const
    {
        return direction == Direction::input ? source : sink;
    }
};

} // namespace vantorelle::pulse
