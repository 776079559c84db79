#pragma once

#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/SavedDevice.h"

#include <optional>
#include <string>
#include <vector>

namespace vantorelle {

// Why the rule passes over an entry.
enum class PassedOver { notConnected, otherDirection, lidClosed, notAutomatic };

// Whether the rule may choose the entry: the user lets it, and its device (`connected`: null
// when not connected) is usable in the direction now. Nothing when it may; else why not.
std::optional<PassedOver> ruleSkips(const SavedDevice& entry, const AudioDevice* connected, Direction direction,
                                    bool lidClosed) noexcept;

struct RulePick {
    // The highest-ranked usable device; null when none is.
    const AudioDevice* chosen = nullptr;
    // The entries above it (all of them when none was chosen), with the reason each was skipped.
    std::vector<std::pair<std::string, PassedOver>> passedOver;
};

// The rule for one direction: the first entry of the stack, from rank 1 down, that the rule may
// choose. Priority order is the only order. `chosen` points into `connected`.
RulePick pickDevice(const std::vector<SavedDevice>& stack, const std::vector<AudioDevice>& connected,
                    Direction direction, bool lidClosed);

const char* describe(PassedOver reason) noexcept;

} // namespace vantorelle
