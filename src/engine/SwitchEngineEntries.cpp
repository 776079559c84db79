// The user's own additions to a stack entry: whether the rule may choose it, and its name.
#include "engine/SwitchEngine.h"

namespace vantorelle {

namespace {

// Applies `change` to every entry with this UID; whether any of them changed.
template <typename Change>
bool changeEntries(std::vector<SavedDevice>& list, const std::string& uid, Change change)
{
    bool changed = false;
    for (SavedDevice& entry : list) {
        if (entry.uid != uid) continue;
        const SavedDevice before = entry;
        change(entry);
        changed = changed || entry != before;
    }
    return changed;
}

} // namespace

void SwitchEngine::setAutomatic(const std::string& uid, Direction direction, bool automatic)
{
    if (!changeEntries(settings_.priority(direction), uid, [automatic](SavedDevice& entry) { entry.automatic = automatic; })) {
        return;
    }
    finishEdit(direction);
}

void SwitchEngine::rename(const std::string& uid, Direction direction, const std::string& alias)
{
    if (!changeEntries(settings_.priority(direction), uid, [&alias](SavedDevice& entry) { entry.alias = alias; })) return;
    finishEdit(std::nullopt);
}

} // namespace vantorelle
