#include "engine/DeviceCommand.h"

#include <array>
#include <utility>

namespace vantorelle {

std::optional<DeviceCommand> deviceCommandFor(const std::vector<std::string_view>& arguments)
{
    using Kind = DeviceCommand::Kind;
    static const std::array<std::pair<std::string_view, DeviceCommand>, 4> options{{
        {"--next-output", {Kind::next, Direction::output, std::nullopt}},
        {"--next-input", {Kind::next, Direction::input, std::nullopt}},
        {"--select-output", {Kind::select, Direction::output, std::nullopt}},
        {"--select-input", {Kind::select, Direction::input, std::nullopt}},
    }};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        for (const auto& [option, command] : options) {
            if (arguments[i] != option) continue;
            DeviceCommand found = command;
            if (found.kind == Kind::select && i + 1 < arguments.size()) found.name = std::string(arguments[i + 1]);
            return found;
        }
    }
    return std::nullopt;
}

ChoiceOutcome pickFor(const DeviceCommand& command, const ChoiceScope& scope, const std::optional<std::string>& current)
{
    if (command.kind == DeviceCommand::Kind::next) return pickNext(scope, current);
    return pickNamed(scope, command.name.value_or(std::string()));
}

} // namespace vantorelle
