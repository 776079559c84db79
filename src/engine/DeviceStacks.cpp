#include "engine/DeviceStacks.h"

#include "engine/SwitchRule.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace vantorelle::stacks {

DeviceIndex indexByUID(const std::vector<AudioDevice>& devices)
{
    DeviceIndex index;
    index.reserve(devices.size());
    for (const AudioDevice& device : devices) index.try_emplace(device.uid, &device);
    return index;
}

const AudioDevice* find(const DeviceIndex& index, const std::string& uid)
{
    const auto it = index.find(uid);
    return it == index.end() ? nullptr : it->second;
}

std::vector<AudioDevice> missingByUID(const std::vector<AudioDevice>& from, const std::vector<AudioDevice>& other)
{
    std::unordered_set<std::string> uids;
    for (const AudioDevice& device : other) uids.insert(device.uid);
    std::vector<AudioDevice> result;
    for (const AudioDevice& device : from) {
        if (!uids.contains(device.uid)) result.push_back(device);
    }
    return result;
}

bool merge(Stack& stack, const std::vector<AudioDevice>& connected, Direction direction,
           const std::optional<std::string>& currentDefault)
{
    bool changed = false;
    const bool wasEmpty = stack.empty();
    std::unordered_map<std::string, std::size_t> firstIndex;
    for (std::size_t i = 0; i < stack.size(); ++i) firstIndex.try_emplace(stack[i].uid, i);

    Stack fresh;
    // A UID the system lists twice counts once, with its first listing (as everywhere else):
    // otherwise it would enter the stack twice, or its two names would be saved in turn on
    // every pass.
    std::unordered_set<std::string> visited;
    for (const AudioDevice& device : connected) {
        if (!worksIn(device, direction) || !visited.insert(device.uid).second) continue;
        const auto known = firstIndex.find(device.uid);
        if (known == firstIndex.end()) {
            fresh.push_back(SavedDevice{device.uid, device.name});
            continue;
        }
        SavedDevice& entry = stack[known->second];
        if (entry.name != device.name) {
            entry.name = device.name;
            changed = true;
        }
    }
    if (wasEmpty && currentDefault) {
        // First time this direction is seen: the device already in use becomes rank 1.
        const auto it = std::ranges::find(fresh, *currentDefault, &SavedDevice::uid);
        if (it != fresh.end()) std::rotate(fresh.begin(), it, it + 1);
    }
    if (!fresh.empty()) {
        stack.insert(stack.end(), fresh.begin(), fresh.end());
        changed = true;
    }
    return changed;
}

bool fillCallsStack(StoredSettings& settings, Direction direction)
{
    Stack& calls = settings.stack(direction, StackKind::calls);
    const std::size_t before = calls.size();
    for (const SavedDevice& entry : settings.priority(direction)) {
        if (std::ranges::find(calls, entry.uid, &SavedDevice::uid) != calls.end()) continue;
        calls.push_back(entry);
        // Whether the rule may choose it is the calls stack's own choice.
        calls.back().automatic = true;
    }
    return calls.size() != before;
}

bool isAggregateEntry(const SavedDevice& entry) noexcept
{
    constexpr std::string_view prefix = "CADefaultDeviceAggregate";
    return entry.uid.starts_with(prefix) || entry.name.starts_with(prefix);
}

bool purgeAggregates(StoredSettings& settings)
{
    const auto removed = std::erase_if(settings.inputPriority, isAggregateEntry)
        + std::erase_if(settings.outputPriority, isAggregateEntry);
    return removed > 0;
}

Stack moved(const Stack& stack, const std::set<std::size_t>& from, std::size_t to)
{
    Stack before;
    Stack moving;
    Stack after;
    for (std::size_t i = 0; i < stack.size(); ++i) {
        if (from.contains(i)) moving.push_back(stack[i]);
        else if (i < to) before.push_back(stack[i]);
        else after.push_back(stack[i]);
    }
    before.insert(before.end(), moving.begin(), moving.end());
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

std::optional<std::size_t> positionOf(const Stack& stack, const std::string& uid)
{
    const auto it = std::ranges::find(stack, uid, &SavedDevice::uid);
    if (it == stack.end()) return std::nullopt;
    return static_cast<std::size_t>(it - stack.begin());
}

std::vector<DeviceRow> rows(const Stack& stack, const std::vector<AudioDevice>& connected, Direction direction,
                            const std::optional<std::string>& defaultUID, bool lidClosed)
{
    const auto byUID = indexByUID(connected);
    std::vector<DeviceRow> result;
    result.reserve(stack.size());
    for (const SavedDevice& entry : stack) {
        const AudioDevice* device = find(byUID, entry.uid);
        result.push_back(DeviceRow{
            .uid = entry.uid,
            .name = shownName(entry, device ? device->name : entry.name),
            .isConnected = device != nullptr,
            .isActive = defaultUID && *defaultUID == entry.uid,
            .isBuiltIn = device && device->isBuiltIn,
            .lidBlocked = device && lidBlocks(*device, direction, lidClosed),
            .kind = device ? device->kind : DeviceKind::other,
            .deviceName = device ? device->name : entry.name,
            .isAutomatic = entry.automatic,
            .iconName = device ? device->iconName : std::string(),
            .isUsable = !unusable(device, direction, lidClosed),
            .ruleMayChoose = !ruleSkips(entry, device, direction, lidClosed),
        });
    }
    return result;
}

} // namespace vantorelle::stacks
