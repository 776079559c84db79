#pragma once

#include <filesystem>

namespace vantorelle {

// The user's configuration folder: $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or
// relative (relative values are invalid by the XDG rules). Relative (".config") only when not
// even a home folder is known.
std::filesystem::path userConfigHome();

} // namespace vantorelle
