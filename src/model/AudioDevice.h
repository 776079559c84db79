#pragma once

#include "model/Direction.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vantorelle {

// Numeric handle of a device in the audio system; valid only while the device exists.
using AudioObjectID = std::uint32_t;

// One usable device as the audio layer reports it at one moment. Code that asks whether two
// values describe the same physical device compares `uid`, never the whole value.
struct AudioDevice {
    AudioObjectID id = 0;
    std::string uid;
    std::string name;
    bool isInput = false;
    bool isOutput = false;
    bool isBuiltIn = false;

    bool operator==(const AudioDevice&) const = default;
};

// Whether the device plays (output) or records (input).
constexpr bool worksIn(const AudioDevice& device, Direction direction) noexcept
{
    return direction == Direction::input ? device.isInput : device.isOutput;
}

} // namespace vantorelle

template <>
struct std::hash<vantorelle::AudioDevice> {
    std::size_t operator()(const vantorelle::AudioDevice& device) const noexcept
    {
        std::size_t seed = 0;
        const auto mix = [&seed](std::size_t value) {
            seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
        };
        mix(std::hash<std::uint32_t>{}(device.id));
        mix(std::hash<std::string>{}(device.uid));
        mix(std::hash<std::string>{}(device.name));
        mix(std::hash<bool>{}(device.isInput));
        mix(std::hash<bool>{}(device.isOutput));
        mix(std::hash<bool>{}(device.isBuiltIn));
        return seed;
    }
};
