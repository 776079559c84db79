#pragma once

#include <string>

namespace vantorelle {

// One entry of a stack. The name is the one last seen, so a disconnected device can still be
// shown by name; the alias is the user's own name for it (empty: none), shown instead.
struct SavedDevice {
    std::string uid;
    std::string name;
    std::string alias{};
    // False: the rule passes over the entry; only a manual choice makes it the default.
    bool automatic = true;

    bool operator==(const SavedDevice&) const = default;
};

// What the user sees of an entry: the alias when there is one, else `deviceName`.
inline const std::string& shownName(const SavedDevice& entry, const std::string& deviceName)
{
    return entry.alias.empty() ? deviceName : entry.alias;
}

} // namespace vantorelle
