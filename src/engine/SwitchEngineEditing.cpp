// The engine's stack edits and the rows the device panes show.
#include "engine/SwitchEngine.h"

#include <algorithm>

namespace vantorelle {

// ---- editing and rows --------------------------------------------------------------------

std::vector<DeviceRow> SwitchEngine::rows(Direction direction) const
{
    const auto byUID = indexByUID(connected_);
    const std::optional<std::string>& current = defaultUID(direction);
    std::vector<DeviceRow> result;
    result.reserve(settings_.priority(direction).size());
    for (const SavedDevice& entry : settings_.priority(direction)) {
        const auto it = byUID.find(entry.uid);
        const AudioDevice* device = it == byUID.end() ? nullptr : it->second;
        DeviceRow row;
        row.uid = entry.uid;
        row.deviceName = device ? device->name : entry.name;
        row.name = shownName(entry, row.deviceName);
        row.isAutomatic = entry.automatic;
        row.isConnected = device != nullptr;
        row.isActive = current && *current == entry.uid;
        row.isBuiltIn = device && device->isBuiltIn;
        row.lidBlocked = direction == Direction::input && device && device->isBuiltIn && lidClosed_;
        result.push_back(std::move(row));
    }
    return result;
}

void SwitchEngine::reapplyRule(Direction direction)
{
    if (applyRule(direction)) afterSets([](SwitchEngine& engine) { engine.refreshDefaults(); });
}

void SwitchEngine::setAutoSwitch(bool value, Direction direction)
{
    StoredSettings updated = settings_;
    (direction == Direction::input ? updated.autoSwitchInput : updated.autoSwitchOutput) = value;
    setSettings(std::move(updated));
    saveSettings();
    if (value) reapplyRule(direction);
}

void SwitchEngine::changeNoticeFlag(bool StoredSettings::*flag, bool value)
{
    StoredSettings updated = settings_;
    updated.*flag = value;
    setSettings(std::move(updated));
    saveSettings();
}

void SwitchEngine::setNotifyOnSwitch(bool value, Direction direction)
{
    changeNoticeFlag(direction == Direction::input ? &StoredSettings::notifyInputSwitch
                                                   : &StoredSettings::notifyOutputSwitch,
                     value);
    // Only a notice turned on needs the notification service.
    if (value) notifier_->askPermission();
}

void SwitchEngine::setNotifyOnDeviceChange(bool value)
{
    changeNoticeFlag(&StoredSettings::notifyDeviceChange, value);
    if (value) notifier_->askPermission();
}

void SwitchEngine::setPlaySound(bool value)
{
    // setSettings() keeps the notifier's sound in step, so the next notice already follows.
    changeNoticeFlag(&StoredSettings::notifySound, value);
}

void SwitchEngine::moveUp(const std::string& uid, Direction direction)
{
    const std::vector<SavedDevice>& list = settings_.priority(direction);
    const auto it = std::ranges::find(list, uid, &SavedDevice::uid);
    if (it == list.end() || it == list.begin()) return;
    const auto position = static_cast<std::size_t>(it - list.begin());
    move(direction, {position}, position - 1);
}

void SwitchEngine::moveDown(const std::string& uid, Direction direction)
{
    const std::vector<SavedDevice>& list = settings_.priority(direction);
    const auto it = std::ranges::find(list, uid, &SavedDevice::uid);
    if (it == list.end() || it + 1 == list.end()) return;
    const auto position = static_cast<std::size_t>(it - list.begin());
    move(direction, {position}, position + 2);
}

void SwitchEngine::move(Direction direction, const std::set<std::size_t>& from, std::size_t to)
{
    const std::vector<SavedDevice>& list = settings_.priority(direction);
    std::vector<SavedDevice> before;
    std::vector<SavedDevice> moved;
    std::vector<SavedDevice> after;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (from.contains(i)) moved.push_back(list[i]);
        else if (i < to) before.push_back(list[i]);
        else after.push_back(list[i]);
    }
    std::vector<SavedDevice> reordered = std::move(before);
    reordered.insert(reordered.end(), moved.begin(), moved.end());
    reordered.insert(reordered.end(), after.begin(), after.end());
    setPriority(direction, std::move(reordered));
    saveSettings();
    reapplyRule(direction);
}

void SwitchEngine::chooseDefault(const std::string& uid, Direction direction, bool announce)
{
    if (!manager_->isAnswering()) return;
    const auto byUID = indexByUID(connected_);
    const auto found = byUID.find(uid);
    if (found == byUID.end()) return;
    const AudioDevice& device = *found->second;
    if (!(direction == Direction::input ? device.isInput : device.isOutput)) return;
    const std::optional<AudioObjectID> current = manager_->defaultDeviceID(direction);
    if (!current || *current != device.id) manager_->setDefaultDevice(device.id, direction);
    afterSets([direction, announce, previous = defaultUID(direction)](SwitchEngine& engine) {
        engine.refreshDefaults();
        if (announce) engine.notifySwitch(direction, previous, {}, {}, std::nullopt);
    });
}

void SwitchEngine::remove(const std::string& uid, Direction direction)
{
    std::vector<SavedDevice> list = settings_.priority(direction);
    std::erase_if(list, [&uid](const SavedDevice& entry) { return entry.uid == uid; });
    setPriority(direction, std::move(list));
    saveSettings();
}

} // namespace vantorelle
