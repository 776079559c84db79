#pragma once

#include <filesystem>

namespace vantorelle {

// The program has an application identity when it runs as an installed application (its
// executable lies in <prefix>/bin and <prefix>/share/applications/vantorelle.desktop exists)
// or from its build folder, where the build puts the desktop entry beside the executable. A
// binary anywhere else has none; notices then go to standard output, the level meter stays off
// and the login item cannot be registered.
class AppIdentity {
public:
    // The identity of the running process, looked up once.
    static const AppIdentity& current();
    // The identity an executable at `executable` would have (for tests and tools).
    static AppIdentity forExecutable(const std::filesystem::path& executable);

    bool present() const noexcept { return present_; }
    const std::filesystem::path& executable() const noexcept { return executable_; }

    static constexpr const char* desktopFileName = "vantorelle.desktop";

private:
    std::filesystem::path executable_;
    bool present_ = false;
};

} // namespace vantorelle
