#pragma once

#include <filesystem>
#include <ostream>

namespace vantorelle {

// The answers to "--help" and "--version". Neither touches the settings folder or a server.
void printUsage(const std::filesystem::path& settingsFile, std::ostream& out);
void printVersion(std::ostream& out);

} // namespace vantorelle
