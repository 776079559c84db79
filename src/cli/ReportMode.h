#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace vantorelle {

enum class ReportMode { listDevices, status };

// "--list-devices" wins over "--status" wherever they stand; only whole, case-sensitive
// matches count, and every other argument is ignored. No report means the windowed application.
std::optional<ReportMode> reportModeFor(const std::vector<std::string_view>& arguments);

} // namespace vantorelle
