// The reports as one JSON object each, for panel modules and scripts. Member names are stable
// (the manual page lists them); names are given as they are, JSON escaping keeps them whole.
#include "cli/CommandLineTools.h"

#include "model/OtherChooser.h"

#include <nlohmann/json.hpp>

namespace vantorelle::CommandLineTools {

namespace {

using nlohmann::json;

void print(const json& report, std::ostream& out)
{
    // Names come from the server as raw bytes: invalid UTF-8 becomes U+FFFD rather than no report.
    out << report.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    out.flush();
}

json stack(const std::vector<SavedDevice>& list, const std::unordered_set<std::string>& connected)
{
    json entries = json::array();
    std::size_t rank = 1;
    for (const SavedDevice& entry : list) {
        entries.push_back({{"rank", rank++},
                           {"name", shownName(entry, entry.name)},
                           {"deviceName", entry.name},
                           {"uid", entry.uid},
                           {"connected", connected.contains(entry.uid)},
                           {"automatic", entry.automatic}});
    }
    return entries;
}

} // namespace

void listDevicesJson(const AudioSystem& audio, const PriorityStore& store,
                     const std::function<bool()>& readLidClosed, std::ostream& out)
{
    const StoredSettings settings = store.load();
    json devices = json::array();
    for (const ListedDevice& device : listedDevices(audio.devices().value_or(std::vector<AudioDevice>{}), settings, readLidClosed())) {
        devices.push_back({{"name", device.name},
                           {"deviceName", device.deviceName},
                           {"uid", device.uid},
                           {"input", device.isInput},
                           {"output", device.isOutput},
                           {"connected", device.isConnected},
                           {"lidBlocked", device.lidBlocked}});
    }
    print({{"devices", devices}}, out);
}

void printStatusJson(const AudioSystem& audio, const PriorityStore& store,
                     const std::function<bool()>& readLidClosed, std::ostream& out)
{
    const StoredSettings settings = store.load();
    std::unordered_set<std::string> connected;
    for (const AudioDevice& device : audio.devices().value_or(std::vector<AudioDevice>{})) connected.insert(device.uid);
    const SystemDefaults current = audio.defaults().value_or(SystemDefaults{});
    json defaults = json::object();
    for (const Direction direction : allDirections) {
        const std::optional<ShownDefault> device = shownDefault(current, settings, direction);
        defaults[std::string(rawValue(direction))] = device ? json{{"name", device->name}, {"uid", device->uid}} : json();
    }
    print({{"defaults", defaults},
           {"otherChooser", current.otherChooser ? json(describe(*current.otherChooser)) : json()},
           {"lidClosed", readLidClosed()},
           {"autoSwitchInput", settings.autoSwitchInput},
           {"autoSwitchOutput", settings.autoSwitchOutput},
           {"notifyInputSwitch", settings.notifyInputSwitch},
           {"notifyOutputSwitch", settings.notifyOutputSwitch},
           {"notifyDeviceChange", settings.notifyDeviceChange},
           {"notifySound", settings.notifySound},
           {"inputPriority", stack(settings.inputPriority, connected)},
           {"outputPriority", stack(settings.outputPriority, connected)},
           {"routeCallsInput", settings.routeCallsInput},
           {"routeCallsOutput", settings.routeCallsOutput},
           {"callsInputPriority", stack(settings.callsInputPriority, connected)},
           {"callsOutputPriority", stack(settings.callsOutputPriority, connected)},
           {"callsApplications", settings.callsApplications},
           {"settingsFile", store.filePath().string()}},
          out);
}

} // namespace vantorelle::CommandLineTools
