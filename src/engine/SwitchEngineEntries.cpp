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

void SwitchEngine::setAutomatic(const std::string& uid, Direction direction, bool automatic, StackKind kind)
{
    const auto change = [automatic](SavedDevice& entry) { entry.automatic = automatic; };
    if (!changeEntries(settings_.stack(direction, kind), uid, change)) return;
    if (kind == StackKind::main) finishEdit(direction);
    else finishEdit(std::nullopt, true);
}

void SwitchEngine::rename(const std::string& uid, Direction direction, const std::string& alias)
{
    const auto change = [&alias](SavedDevice& entry) { entry.alias = alias; };
    // Both, without short-circuit: the name is the device's, whichever stack shows it.
    const bool inMain = changeEntries(settings_.stack(direction, StackKind::main), uid, change);
    const bool inCalls = changeEntries(settings_.stack(direction, StackKind::calls), uid, change);
    if (!inMain && !inCalls) return;
    finishEdit(std::nullopt);
}

} // namespace vantorelle
