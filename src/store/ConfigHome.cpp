#include "store/ConfigHome.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace vantorelle {

namespace {

std::filesystem::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

} // namespace

std::filesystem::path userConfigHome()
{
    if (const char* configHome = std::getenv("XDG_CONFIG_HOME"); configHome && *configHome == '/') {
        return configHome;
    }
    return homeFolder() / ".config";
}

} // namespace vantorelle
