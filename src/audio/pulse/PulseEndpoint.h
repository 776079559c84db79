#pragma once

#include "model/Direction.h"

#include <cstdint>
#include <string>

namespace vantorelle::pulse {

// The facts about one sink (output) or source (input) that the device mapping needs, copied
// out of libpulse's info record. Missing properties are empty strings.
struct PulseEndpoint {
    Direction direction = Direction::output;
    std::uint32_t index = 0;
    std::uint32_t card = 0xffffffffu; // the card's server index; PA_INVALID_INDEX without one
    std::string name;
    std::string description;
    std::uint32_t channels = 0;
    bool isMonitor = false; // a source that mirrors a sink
    std::string activePort;
    std::string activePortDescription;
    // pa_device_port_type_t of the active port; 0 (unknown) when there is none.
    std::uint32_t activePortType = 0;
    // The endpoint has ports and none of them is available: nothing is plugged into its jack,
    // or the monitor on its HDMI link is off or asleep.
    bool allPortsUnavailable = false;
    std::string deviceClass;  // device.class
    std::string formFactor;   // device.form_factor
    std::string bus;          // device.bus
    std::string iconName;     // device.icon_name
    std::string api;          // device.api
    std::string profileName;  // device.profile.name
    std::string deviceString; // device.string
    std::string bluezAddress; // api.bluez5.address

    bool operator==(const PulseEndpoint&) const = default;
};

// One card as the server lists it: a Bluetooth headset's card stays while its profile changes.
struct PulseCard {
    std::uint32_t index = 0;
    std::string name;
    std::string activeProfile;

    bool operator==(const PulseCard&) const = default;
};

} // namespace vantorelle::pulse
