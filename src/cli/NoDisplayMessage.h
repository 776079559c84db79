#pragma once

#include <string>

namespace vantorelle {

// What the session offers the window, as its environment and Qt's plugins tell.
struct DisplaysFound {
    std::string waylandDisplay; // WAYLAND_DISPLAY; empty when none
    std::string x11Display;     // DISPLAY; empty when none
    bool waylandSupportInstalled = false;
};

// The one line (with its newline) said when no display could be opened for the window: which
// display was there and what was missing, or that there was none.
std::string noDisplayMessage(const DisplaysFound& found);

} // namespace vantorelle
