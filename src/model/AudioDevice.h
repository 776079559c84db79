#pragma once

#include "model/Direction.h"

#include <cstdint>
#include <string>

namespace vantorelle {

// Numeric handle of a device in the audio system; valid only while the device exists.
using AudioObjectID = std::uint32_t;

// What the server says a device is (its form factor, icon and bus), for the icon it is shown with.
enum class DeviceKind { other, headphones, camera, display };

// One usable device as the audio layer reports it at one moment. Code that asks whether two
// values describe the same physical device compares `uid`, never the whole value.
struct AudioDevice {
    AudioObjectID id = 0;
    std::string uid;
    std::string name;
    bool isInput = false;
    bool isOutput = false;
    bool isBuiltIn = false;
    DeviceKind kind = DeviceKind::other;

    bool operator==(const AudioDevice&) const = default;
};

// Whether the device plays (output) or records (input).
constexpr bool worksIn(const AudioDevice& device, Direction direction) noexcept
{
    return direction == Direction::input ? device.isInput : device.isOutput;
}

} // namespace vantorelle
