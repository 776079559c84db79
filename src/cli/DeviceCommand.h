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

// Exit statuses of a command.
inline constexpr int commandFailed = 1;
inline constexpr int commandBadName = 2;

// The bus names of the running instance's interface, shared by the caller and the instance.
namespace instanceBus {
inline constexpr char service[] = "org.vantorelle.Vantorelle";
inline constexpr char path[] = "/org/vantorelle/Vantorelle";
inline constexpr char interface[] = "org.vantorelle.Vantorelle";
inline constexpr char next[] = "Next";
inline constexpr char select[] = "Select";
// A NAME that matched no device or several (exit status 2), and no device to choose (1).
inline constexpr char badNameError[] = "org.vantorelle.Vantorelle.Error.BadName";
inline constexpr char noDeviceError[] = "org.vantorelle.Vantorelle.Error.NoDevice";
} // namespace instanceBus

} // namespace vantorelle
