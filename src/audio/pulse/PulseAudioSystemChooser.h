#pragma once
// Shared by the connection's two source files: an update of the mirror that may change whether
// another program is seen choosing defaults, told as a default change when it does.
#include "audio/pulse/PulseAudioSystem.h"

#include <type_traits>

namespace vantorelle {

template <typename Update>
auto PulseAudioSystem::watchingChooser(const Update& update)
{
    const std::optional<OtherChooser> before = mirror_.otherChooser();
    const auto told = [this, &before] {
        if (mirror_.otherChooser() != before) queueDefaultChange();
    };
    if constexpr (std::is_void_v<decltype(update())>) {
        update();
        told();
    } else {
        auto result = update();
        told();
        return result;
    }
}

} // namespace vantorelle
