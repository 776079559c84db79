// The views' calls: the stack edits, the switches of the settings and the rows.
#include "engine/SwitchEngine.h"

#include "engine/DeviceStacks.h"
#include "engine/SwitchNotices.h"
#include "engine/SwitchRule.h"

namespace vantorelle {

std::vector<DeviceRow> SwitchEngine::rows(Direction direction, StackKind kind) const
{
    const std::vector<SavedDevice>& stack = settings_.stack(direction, kind);
    // The calls stack's active row is where calls go: its pick, or the default when it has none.
    std::optional<std::string> active = defaultUID(direction);
    if (kind == StackKind::calls) {
        if (const RulePick pick = pickDevice(stack, connected_, direction, lidClosed_); pick.chosen) {
            active = pick.chosen->uid;
        }
    }
    return stacks::rows(stack, connected_, direction, active, lidClosed_);
}

bool SwitchEngine::reapplyRule(Direction direction)
{
    const std::optional<SystemDefaults> current = audio_->defaults();
    if (!current) return false;
    switch (applyRule(direction, *current)) {
    case RuleOutcome::sent:
        audio_->whenSetsSettled([this] { defaultChanged(); });
        return false;
    case RuleOutcome::inPlace:
        takeDefaults(*current);
        return true;
    default:
        return false;
    }
}

void SwitchEngine::finishEdit(std::optional<Direction> ruleFor, bool reroute)
{
    const bool tookDefaults = ruleFor && reapplyRule(*ruleFor);
    if (reroute) routeCallStreams();
    saveSettings();
    publish({EngineField::settings, EngineField::settingsUnsaved});
    if (tookDefaults) publish({EngineField::defaultInputUID, EngineField::defaultOutputUID});
}

void SwitchEngine::changeFlag(bool StoredSettings::*flag, bool value, std::optional<Direction> ruleFor)
{
    settings_.*flag = value;
    // The next notice already follows the sound switch.
    notifier_->setPlaySound(settings_.notifySound);
    finishEdit(ruleFor);
}

void SwitchEngine::setAutoSwitch(bool value, Direction direction)
{
    // Turning auto-switching off changes no device.
    changeFlag(direction == Direction::input ? &StoredSettings::autoSwitchInput : &StoredSettings::autoSwitchOutput,
               value, value ? std::optional(direction) : std::nullopt);
}

void SwitchEngine::setNotifyOnSwitch(bool value, Direction direction)
{
    changeFlag(direction == Direction::input ? &StoredSettings::notifyInputSwitch
                                             : &StoredSettings::notifyOutputSwitch,
               value, std::nullopt);
    // Only a notice turned on needs the notification service.
    if (value) notifier_->askPermission();
}

void SwitchEngine::setNotifyOnDeviceChange(bool value)
{
    changeFlag(&StoredSettings::notifyDeviceChange, value, std::nullopt);
    if (value) notifier_->askPermission();
}

void SwitchEngine::setPlaySound(bool value)
{
    changeFlag(&StoredSettings::notifySound, value, std::nullopt);
}

void SwitchEngine::moveUp(const std::string& uid, Direction direction, StackKind kind)
{
    const std::optional<std::size_t> position = stacks::positionOf(settings_.stack(direction, kind), uid);
    if (position && *position > 0) move(direction, {*position}, *position - 1, kind);
}

void SwitchEngine::moveDown(const std::string& uid, Direction direction, StackKind kind)
{
    const std::vector<SavedDevice>& stack = settings_.stack(direction, kind);
    const std::optional<std::size_t> position = stacks::positionOf(stack, uid);
    if (position && *position + 1 < stack.size()) move(direction, {*position}, *position + 2, kind);
}

void SwitchEngine::move(Direction direction, const std::set<std::size_t>& from, std::size_t to, StackKind kind)
{
    settings_.stack(direction, kind) = stacks::moved(settings_.stack(direction, kind), from, to);
    if (kind == StackKind::main) finishEdit(direction);
    else finishEdit(std::nullopt, true);
}

void SwitchEngine::remove(const std::string& uid, Direction direction, StackKind kind)
{
    std::erase_if(settings_.stack(direction, kind), [&uid](const SavedDevice& entry) { return entry.uid == uid; });
    finishEdit(std::nullopt);
}

void SwitchEngine::chooseDefault(const std::string& uid, Direction direction, bool announce)
{
    const std::optional<SystemDefaults> current = audio_->defaults();
    if (!current) return;
    const auto byUID = stacks::indexByUID(connected_);
    const auto found = byUID.find(uid);
    if (found == byUID.end() || !worksIn(*found->second, direction)) return;
    if (current->uid(direction) != uid) audio_->setDefault(direction, uid);
    audio_->whenSetsSettled([this, direction, announce, previous = current->uid(direction)] {
        defaultChanged();
        const std::vector<AudioDevice> none;
        if (announce) notifySwitch(direction, {previous, defaultUID(direction), connected_, none, none, std::nullopt});
    });
}

} // namespace vantorelle
