#include "cli/ReportMode.h"

#include <algorithm>

namespace vantorelle {

std::optional<ReportMode> reportModeFor(const std::vector<std::string_view>& arguments)
{
    if (std::ranges::find(arguments, "--list-devices") != arguments.end()) return ReportMode::listDevices;
    if (std::ranges::find(arguments, "--status") != arguments.end()) return ReportMode::status;
    return std::nullopt;
}

} // namespace vantorelle
