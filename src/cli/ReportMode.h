#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace vantorelle {

// The one-shot modes: each prints on standard output and ends without a window.
enum class ReportMode { help, version, listDevices, status };

// "-h" or "--help" wins over everything, then "--version", then "--list-devices" over "--status",
// wherever they stand; only whole, case-sensitive matches count, and every other argument is
// ignored. No one-shot mode means the windowed application.
std::optional<ReportMode> reportModeFor(const std::vector<std::string_view>& arguments);

} // namespace vantorelle
