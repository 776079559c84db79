#pragma once

#include <optional>

namespace vantorelle::upower {

// What both lid readers ask UPower for: the lid monitor on the window's loop and the one-shot
// read of the reports.
inline constexpr char service[] = "org.freedesktop.UPower";
inline constexpr char path[] = "/org/freedesktop/UPower";
inline constexpr char interface[] = "org.freedesktop.UPower";
inline constexpr char propertiesInterface[] = "org.freedesktop.DBus.Properties";
inline constexpr char getAll[] = "GetAll";
inline constexpr char lidIsPresent[] = "LidIsPresent";
inline constexpr char lidIsClosed[] = "LidIsClosed";

// UPower answers at once when it runs; the bound keeps a hung or slowly activated service from
// holding a read for long.
inline constexpr int readTimeoutMs = 500;

// UPower may report LidIsClosed on a machine without a lid: only a lid that is present and closed
// counts. A property that is missing or of another type than boolean is false.
constexpr bool lidCountsAsClosed(std::optional<bool> present, std::optional<bool> closed) noexcept
{
    return present.value_or(false) && closed.value_or(false);
}

} // namespace vantorelle::upower

namespace vantorelle {

// One-shot read on a private system-bus connection of its own, with libdbus alone, so the reports
// need no toolkit. False when the bus, UPower, the lid or either property is not there, or UPower
// does not answer within upower::readTimeoutMs.
bool readUpowerLidClosed() noexcept;

} // namespace vantorelle
