#pragma once

#include "engine/ManualChoice.h"
#include "model/Direction.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorelle {

// "--next-output", "--next-input", "--select-output NAME", "--select-input NAME": a choice by
// hand, made by the running instance when there is one, else directly on the sound server.
struct DeviceCommand {
    enum class Kind { next, select };
    Kind kind = Kind::next;
    Direction direction = Direction::output;
    // The NAME of a select; std::nullopt when the argument list ended before it.
    std::optional<std::string> name;

    bool operator==(const DeviceCommand&) const = default;
};

// The first command among the arguments (whole, case-sensitive matches); std::nullopt for none.
std::optional<DeviceCommand> deviceCommandFor(const std::vector<std::string_view>& arguments);

// What the command picks, from what the caller knows of the server.
ChoiceOutcome pickFor(const DeviceCommand& command, const ChoiceScope& scope, const std::optional<std::string>& current);

} // namespace vantorelle
