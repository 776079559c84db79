#pragma once

#include "engine/DeviceRow.h"
#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/SavedDevice.h"
#include "model/StoredSettings.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// The stacks as values: what a device-list change, an edit and a view make of them. Nothing here
// saves, publishes or talks to the system.
namespace vantorelle::stacks {

using Stack = std::vector<SavedDevice>;

// UID -> device; when UIDs repeat, the device earlier in the list wins.
using DeviceIndex = std::unordered_map<std::string, const AudioDevice*>;
DeviceIndex indexByUID(const std::vector<AudioDevice>& devices);
// The device with this UID; null when none is connected.
const AudioDevice* find(const DeviceIndex& index, const std::string& uid);

// Devices of `from` whose UID is not among those of `other`, in `from`'s order.
std::vector<AudioDevice> missingByUID(const std::vector<AudioDevice>& from, const std::vector<AudioDevice>& other);

// Takes the connected devices of the direction into the stack: unseen ones at the bottom, in the
// system's order (the current default first when the stack was empty), and the names of known
// ones refreshed. True when anything changed.
bool merge(Stack& stack, const std::vector<AudioDevice>& connected, Direction direction,
           const std::optional<std::string>& currentDefault);

// Appends to the calls stack the main stack's entries it lacks, in their order: the calls stack
// holds the same remembered devices. True when anything changed.
bool fillCallsStack(StoredSettings& settings, Direction direction);

// Entries left by another system's own aggregate devices (a settings file brought along from
// it); purged at start-up.
bool isAggregateEntry(const SavedDevice& entry) noexcept;
// Removes them from both stacks; true when there were any.
bool purgeAggregates(StoredSettings& settings);

// The entries at `from` moved to just before the entry that stood at `to` (the end when `to` is
// the stack's length); moved entries keep their order, and so do the others.
Stack moved(const Stack& stack, const std::set<std::size_t>& from, std::size_t to);
// The position of the first entry with this UID.
std::optional<std::size_t> positionOf(const Stack& stack, const std::string& uid);

// One row per entry, in stack order, as the views show it.
std::vector<DeviceRow> rows(const Stack& stack, const std::vector<AudioDevice>& connected, Direction direction,
                            const std::optional<std::string>& defaultUID, bool lidClosed);

} // namespace vantorelle::stacks
