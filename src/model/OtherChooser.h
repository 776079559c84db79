#pragma once

#include <string_view>

namespace vantorelle {

// Something besides Vantorelle that chooses the default devices, as the audio layer can tell.
enum class OtherChooser {
    // The sound server's own module that makes every new device the default.
    switchOnConnect,
    // Unnamed: a default changed right after each of Vantorelle's last two sets.
    overridesSets,
};

// One line in plain words, for the status report and the settings pane.
constexpr std::string_view describe(OtherChooser chooser) noexcept
{
    switch (chooser) {
    case OtherChooser::switchOnConnect:
        return "Another program chooses default devices too: the sound server's module-switch-on-connect makes "
               "each new device the default, and Vantorelle then puts back the one your list ranks first.";
    case OtherChooser::overridesSets:
        break;
    }
    return "Another program chooses default devices too: twice in a row it changed a default right after "
           "Vantorelle set it.";
}

} // namespace vantorelle
