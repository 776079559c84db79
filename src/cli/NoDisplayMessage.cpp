#include "cli/NoDisplayMessage.h"

#include "model/PrintableText.h"

namespace vantorelle {

std::string noDisplayMessage(const DisplaysFound& found)
{
    if (found.waylandDisplay.empty() && found.x11Display.empty()) {
        return "vantorelle: no display found; the window needs one, the reports "
               "(vantorelle --status, vantorelle --list-devices) work without.\n";
    }
    const std::string wayland = "a Wayland display (" + printableLine(found.waylandDisplay) + ")";
    const std::string x11 = "an X11 display (" + printableLine(found.x11Display) + ")";
    std::string problem;
    if (found.waylandDisplay.empty()) {
        problem = x11 + " was found, but it could not be opened";
    } else if (!found.waylandSupportInstalled) {
        problem = wayland + " was found, but Qt's Wayland support (qt6-wayland) is not installed";
        if (!found.x11Display.empty()) {
            problem += ", and the X11 display (" + printableLine(found.x11Display) + ") could not be opened";
        }
    } else if (found.x11Display.empty()) {
        problem = wayland + " was found, but it could not be opened";
    } else {
        problem = wayland + " and " + x11 + " were found, but neither could be opened";
    }
    return "vantorelle: " + problem
        + "; the reports (vantorelle --status, vantorelle --list-devices) work without a display.\n";
}

} // namespace vantorelle
