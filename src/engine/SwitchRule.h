#pragma once

#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/SavedDevice.h"

#include <string>
#include <vector>

namespace vantorelle {

// Why an entry above the pick was not taken.
enum class PassedOver { notConnected, otherDirection, lidClosed, notAutomatic };

struct RulePick {
    // The highest-ranked usable device; null when none is.
    const AudioDevice* chosen = nullptr;
    // The entries above it (all of them when none was chosen), with the reason each was skipped.
    std::vector<std::pair<std::string, PassedOver>> passedOver;
};

// The rule for one direction: the first entry of the stack, from rank 1 down, that the user lets
// the rule choose, is connected, works in the direction and, for input, is not built in while the
// lid is closed. Priority order
// is the only order. `chosen` points into `connected`.
RulePick pickDevice(const std::vector<SavedDevice>& stack, const std::vector<AudioDevice>& connected,
                    Direction direction, bool lidClosed);

const char* describe(PassedOver reason) noexcept;

} // namespace vantorelle
