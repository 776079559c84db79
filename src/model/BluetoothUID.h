#pragma once

#include "model/Direction.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantorelle {

// A Bluetooth headset's UID for one direction, "bluez:<address>:input" or ":output": its
// endpoints' names change with its profile, its address does not, so it keeps its rank.
std::string bluetoothUID(std::string_view address, Direction direction);

// The address in such a UID; nothing for any other UID.
std::optional<std::string> bluetoothAddressOf(std::string_view uid);

} // namespace vantorelle
