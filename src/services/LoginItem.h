#pragma once

#include "services/AppIdentity.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace vantorelle {

// Starting at login through an XDG autostart entry, autostart/vantorelle.desktop in the
// user's configuration folder. Only an installed application (one with an identity) can be
// registered: the entry must name an executable that stays where it is.
class LoginItem {
public:
    LoginItem(AppIdentity identity, std::filesystem::path autostartFolder);
    // The running program and $XDG_CONFIG_HOME/autostart (~/.config/autostart when unset or empty).
    static LoginItem forCurrentProcess();
    static std::filesystem::path defaultAutostartFolder();

    const std::filesystem::path& entryFile() const noexcept { return entryFile_; }

    // The entry starts the program with this argument: it switches in the background, with
    // no window (a later start by hand opens it).
    static constexpr std::string_view backgroundArgument = "--background";
    // Whether a program's arguments (the program name first) are those of the entry's start.
    static bool isBackgroundStart(const std::vector<std::string_view>& arguments);

    // The entry exists and the desktop has not been told to skip it (Hidden=true, or the
    // X-GNOME-Autostart-enabled=false that session settings write when the user turns it off).
    bool isEnabled() const;
    // Writes the entry; false without an identity or when the file cannot be written.
    bool registerItem() const;
    // Removes the entry; true when none is left afterwards.
    bool unregisterItem() const;

private:
    AppIdentity identity_;
    std::filesystem::path entryFile_;
};

} // namespace vantorelle
