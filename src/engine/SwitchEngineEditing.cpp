// The views' calls: the stack edits, the switches of the settings and the rows.
#include "engine/SwitchEngine.h"

#include "engine/DeviceStacks.h"
#include "engine/SwitchNotices.h"
#include "engine/SwitchRule.h"

#include <algorithm>

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

void SwitchEngine::finishEdit(std::optional<Direction> ruleFor, bool reroute)
{
    // An edit's rule tells nothing: the published default follows the system's answer.
    const std::optional<SystemDefaults> current = ruleFor ? audio_->defaults() : std::nullopt;
    const bool setSent = current && applyRule(*ruleFor, *current) == RuleOutcome::sent;
    if (reroute) routeCallStreams();
    saveSettings();
    publish({EngineField::settings, EngineField::settingsUnsaved});
    conclude({setSent});
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
    const auto device = std::ranges::find(connected_, uid, &AudioDevice::uid);
    if (unusable(device == connected_.end() ? nullptr : &*device, direction, lidClosed_)) return;
    const bool setSent = current->uid(direction) != uid && audio_->setDefault(direction, uid);
    Conclusion conclusion{setSent};
    if (announce) {
        conclusion.announcement = Announcement{.switches = {direction}};
        conclusion.announcement->previous[slotOf(direction)] = current->uid(direction);
    }
    conclude(std::move(conclusion));
}

} // namespace vantorelle
