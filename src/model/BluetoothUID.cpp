#include "model/BluetoothUID.h"

namespace vantorelle {

namespace {

constexpr std::string_view prefix = "bluez:";

} // namespace

std::string bluetoothUID(std::string_view address, Direction direction)
{
    return std::string(prefix).append(address).append(":").append(rawValue(direction));
}

std::optional<std::string> bluetoothAddressOf(std::string_view uid)
{
    if (!uid.starts_with(prefix)) return std::nullopt;
    const std::string_view rest = uid.substr(prefix.size());
    const std::size_t end = rest.rfind(':');
    if (end == std::string_view::npos || end == 0 || !directionFromRaw(rest.substr(end + 1))) return std::nullopt;
    return std::string(rest.substr(0, end));
}

} // namespace vantorelle
