#pragma once

#include "model/Direction.h"

#include <cstdint>
#include <optional>
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
    // The icon the server names for it (`device.icon_name`, an icon theme's name); may be empty.
    std::string iconName{};

    bool operator==(const AudioDevice&) const = default;
};

// Whether the device plays (output) or records (input).
constexpr bool worksIn(const AudioDevice& device, Direction direction) noexcept
{
    return direction == Direction::input ? device.isInput : device.isOutput;
}

// A built-in microphone sits out while the lid is closed: it hears the keyboard, not the user.
constexpr bool lidBlocks(const AudioDevice& device, Direction direction, bool lidClosed) noexcept
{
    return direction == Direction::input && device.isBuiltIn && lidClosed;
}

// Why a device cannot play or record in the direction now; nothing when it can. This is what a
// choice by hand may take; the rule also leaves out what the user keeps from it.
enum class Unusable { notConnected, otherDirection, lidClosed };
constexpr std::optional<Unusable> unusable(const AudioDevice* connected, Direction direction, bool lidClosed) noexcept
{
    if (connected == nullptr) return Unusable::notConnected;
    if (!worksIn(*connected, direction)) return Unusable::otherDirection;
    if (lidBlocks(*connected, direction, lidClosed)) return Unusable::lidClosed;
    return std::nullopt;
}

} // namespace vantorelle
