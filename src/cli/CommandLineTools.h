#pragma once

#include "engine/AudioSystem.h"
#include "model/SavedDevice.h"
#include "model/StoredSettings.h"
#include "store/PriorityStore.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_set>
#include <vector>

namespace vantorelle::CommandLineTools {

// The two one-shot reports, as text or as one JSON object with the same facts. They only read:
// the settings file is never written. Devices carry the user's name for them where there is one.
void listDevices(const AudioSystem& audio, const PriorityStore& store,
                 const std::function<bool()>& readLidClosed, std::ostream& out);
void printStatus(const AudioSystem& audio, const PriorityStore& store,
                 const std::function<bool()>& readLidClosed, std::ostream& out);
void listDevicesJson(const AudioSystem& audio, const PriorityStore& store,
                     const std::function<bool()>& readLidClosed, std::ostream& out);
void printStatusJson(const AudioSystem& audio, const PriorityStore& store,
                     const std::function<bool()>& readLidClosed, std::ostream& out);

// One stack section of the status report; `whenEmpty` says when an empty one fills in.
void printPriorities(const std::string& title, const std::vector<SavedDevice>& list,
                     const std::unordered_set<std::string>& connected, std::ostream& out, const char* whenEmpty);

// The facts both forms of the reports show.
struct ListedDevice {
    std::string name;       // the user's name, else the device's own
    std::string deviceName; // the device's own (the stored one when disconnected)
    std::string uid;
    bool isInput = false;
    bool isOutput = false;
    bool isConnected = false;
    bool lidBlocked = false;
};
// Every connected device, then every stored one that is not connected, once each.
std::vector<ListedDevice> listedDevices(const std::vector<AudioDevice>& devices, const StoredSettings& settings,
                                        bool lidClosed);
// The direction's default with the user's name for it; "?" for a name the system does not give.
struct ShownDefault {
    std::string name;
    std::string uid;
};
std::optional<ShownDefault> shownDefault(const SystemDefaults& defaults, const StoredSettings& settings,
                                         Direction direction);

} // namespace vantorelle::CommandLineTools
