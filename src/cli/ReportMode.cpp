#include "cli/ReportMode.h"

#include <algorithm>

namespace vantorelle {

std::optional<ReportMode> reportModeFor(const std::vector<std::string_view>& arguments)
{
    const auto given = [&arguments](std::string_view option) {
        return std::ranges::find(arguments, option) != arguments.end();
    };
    if (given("--help") || given("-h")) return ReportMode::help;
    if (given("--version")) return ReportMode::version;
    if (given("--list-devices")) return ReportMode::listDevices;
    if (given("--status")) return ReportMode::status;
    return std::nullopt;
}

} // namespace vantorelle
