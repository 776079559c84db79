#pragma once

#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/SavedDevice.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorelle {

// What a choice by hand picks from: one direction's stack, the connected devices and the lid.
// Unlike the rule it also takes entries that are never chosen automatically.
struct ChoiceScope {
    const std::vector<SavedDevice>& stack;
    const std::vector<AudioDevice>& connected;
    Direction direction;
    bool lidClosed = false;
};

// What a command picks: the device to make the default, or one line (without a newline and
// without the program's name, which the command line adds) on why there is none.
struct ChoiceOutcome {
    std::optional<std::string> uid;
    std::string error;
    // The name matched no device or several: the command's exit status is 2.
    bool badName = false;
};

// The next usable entry of the stack after `current`, wrapping to the top (the top when
// `current` is not in the stack); `current` again when it is the only usable one.
ChoiceOutcome pickNext(const ChoiceScope& scope, const std::optional<std::string>& current);

// The usable device of the direction that `name` names: its UID, the user's name for it or
// its own name, compared without regard to letter case, in that order of precedence. A name
// that matches nothing lists every candidate, one that matches several lists those.
ChoiceOutcome pickNamed(const ChoiceScope& scope, std::string_view name);

} // namespace vantorelle
