#include "cli/PulseCookie.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vantorelle {

namespace {

namespace fs = std::filesystem;

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool readable(const fs::path& path) { return ::access(path.c_str(), R_OK) == 0; }
bool writable(const fs::path& path) { return ::access(path.c_str(), W_OK) == 0; }

} // namespace

void keepPulseCookieOutOfReadOnlyConfig()
{
    if (!environment("PULSE_COOKIE").empty()) return;
    const fs::path runtime = environment("XDG_RUNTIME_DIR");
    const fs::path home = environment("HOME");
    fs::path config = environment("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty()) config = home / ".config";
    if (runtime.empty() || config.empty() || !writable(runtime)) return;

    // libpulse's own places: config/pulse/cookie, then the older ~/.pulse-cookie.
    const fs::path folder = config / "pulse";
    if (readable(folder / "cookie") || (!home.empty() && readable(home / ".pulse-cookie"))) return;
    std::error_code error;
    const bool canCreate = fs::is_directory(folder, error) ? writable(folder) : writable(config);
    if (canCreate) return;
    ::setenv("PULSE_COOKIE", (runtime / "vantorelle-pulse-cookie").c_str(), 1);
}

} // namespace vantorelle
