#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vantorelle {

// Which of the two system defaults an operation is about.
enum class Direction { input, output };

// Always input first: reports and passes walk the directions in this order.
inline constexpr std::array<Direction, 2> allDirections{Direction::input, Direction::output};

// The direction's place in allDirections, for per-direction arrays.
constexpr std::size_t slotOf(Direction direction) noexcept
{
    return direction == Direction::input ? 0 : 1;
}

constexpr std::string_view rawValue(Direction direction) noexcept
{
    return direction == Direction::input ? "input" : "output";
}

// Exactly "input" or "output", case-sensitive; anything else gives no direction.
constexpr std::optional<Direction> directionFromRaw(std::string_view raw) noexcept
{
    if (raw == "input") return Direction::input;
    if (raw == "output") return Direction::output;
    return std::nullopt;
}

} // namespace vantorelle
