#include "cli/CommandLineTools.h"

#include "model/PrintableText.h"

#include <algorithm>
#include <optional>

namespace vantorelle::CommandLineTools {

namespace {

constexpr const char* emDash = "\u2014";

std::string kinds(bool isInput, bool isOutput)
{
    if (isInput && isOutput) return "input+output";
    return isInput ? "input" : "output";
}

void printFlag(const char* label, bool value, std::ostream& out)
{
    out << label << (value ? "on" : "off") << '\n';
}

} // namespace

std::vector<ListedDevice> listedDevices(const std::vector<AudioDevice>& devices, const StoredSettings& settings,
                                        bool lidClosed)
{
    std::vector<ListedDevice> listed;
    std::unordered_set<std::string> seen;
    for (const AudioDevice& device : devices) seen.insert(device.uid);
    for (const AudioDevice& device : devices) {
        const Direction preferred = device.isInput ? Direction::input : Direction::output;
        listed.push_back({settings.shownName(device.uid, device.name, preferred), device.name, device.uid,
                          device.isInput, device.isOutput, true,
                          unusable(&device, Direction::input, lidClosed) == Unusable::lidClosed});
    }
    for (const SavedDevice& entry : settings.inputPriority) {
        if (!seen.insert(entry.uid).second) continue;
        const bool alsoOutput = std::ranges::find(settings.outputPriority, entry.uid, &SavedDevice::uid)
            != settings.outputPriority.end();
        listed.push_back({settings.shownName(entry.uid, entry.name), entry.name, entry.uid, true, alsoOutput, false, false});
    }
    for (const SavedDevice& entry : settings.outputPriority) {
        if (!seen.insert(entry.uid).second) continue;
        listed.push_back({settings.shownName(entry.uid, entry.name, Direction::output), entry.name, entry.uid, false,
                          true, false, false});
    }
    return listed;
}

std::optional<ShownDefault> shownDefault(const SystemDefaults& defaults, const StoredSettings& settings,
                                         Direction direction)
{
    const std::optional<DefaultDevice>& device = defaults.of(direction);
    if (!device) return std::nullopt;
    return ShownDefault{settings.shownName(device->uid, device->name.value_or("?"), direction), device->uid};
}

void listDevices(const AudioSystem& audio, const PriorityStore& store,
                 const std::function<bool()>& readLidClosed, std::ostream& out)
{
    const StoredSettings settings = store.load();
    const std::vector<AudioDevice> devices = audio.devices().value_or(std::vector<AudioDevice>{});
    for (const ListedDevice& device : listedDevices(devices, settings, readLidClosed())) {
        out << printableLine(device.name) << " | uid=" << printableLine(device.uid) << " | "
            << kinds(device.isInput, device.isOutput) << " | " << (device.isConnected ? "connected" : "disconnected");
        if (device.lidBlocked) out << " | unavailable (lid closed)";
        out << '\n';
    }
    out.flush();
}

void printPriorities(const std::string& title, const std::vector<SavedDevice>& list,
                     const std::unordered_set<std::string>& connected, std::ostream& out, const char* whenEmpty)
{
    out << title << ":\n";
    if (list.empty()) out << "  (empty " << emDash << ' ' << whenEmpty << ")\n";
    std::size_t rank = 1;
    for (const SavedDevice& entry : list) {
        out << "  " << rank++ << ". " << printableLine(shownName(entry, entry.name));
        if (!entry.automatic) out << " (never automatic)";
        out << " [" << printableLine(entry.uid) << "] " << emDash << ' '
            << (connected.contains(entry.uid) ? "connected" : "disconnected") << '\n';
    }
    out << '\n';
}

void printStatus(const AudioSystem& audio, const PriorityStore& store,
                 const std::function<bool()>& readLidClosed, std::ostream& out)
{
    const StoredSettings settings = store.load();
    std::unordered_set<std::string> connected;
    for (const AudioDevice& device : audio.devices().value_or(std::vector<AudioDevice>{})) connected.insert(device.uid);

    out << "Current system defaults:\n";
    const SystemDefaults defaults = audio.defaults().value_or(SystemDefaults{});
    for (const Direction direction : allDirections) {
        out << "  " << (direction == Direction::input ? "Input" : "Output") << ": ";
        if (const std::optional<ShownDefault> device = shownDefault(defaults, settings, direction)) {
            out << printableLine(device->name) << " [" << printableLine(device->uid) << "]\n";
        } else {
            out << "none\n";
        }
    }
    if (defaults.otherChooser) out << "  " << describe(*defaults.otherChooser) << '\n';
    out << '\n';
    out << "Lid: " << (readLidClosed() ? "closed" : "open") << "\n\n";
    printFlag("Auto-switch input: ", settings.autoSwitchInput, out);
    printFlag("Auto-switch output: ", settings.autoSwitchOutput, out);
    printFlag("Notify on input switch: ", settings.notifyInputSwitch, out);
    printFlag("Notify on output switch: ", settings.notifyOutputSwitch, out);
    printFlag("Notify on device connect/remove: ", settings.notifyDeviceChange, out);
    printFlag("Notification sound: ", settings.notifySound, out);
    // The calls lines only for someone who uses them: the report stays as it was for everyone else.
    if (settings.usesCalls()) {
        printFlag("Calls on their own input: ", settings.routeCallsInput, out);
        printFlag("Calls on their own output: ", settings.routeCallsOutput, out);
    }
    out << '\n';
    constexpr const char* firstLaunch = "fills in on first GUI launch";
    printPriorities("Input priority", settings.inputPriority, connected, out, firstLaunch);
    printPriorities("Output priority", settings.outputPriority, connected, out, firstLaunch);
    if (settings.usesCalls()) {
        constexpr const char* firstRouting = "fills in when calls get a device of their own";
        printPriorities("Input priority for calls", settings.callsInputPriority, connected, out, firstRouting);
        printPriorities("Output priority for calls", settings.callsOutputPriority, connected, out, firstRouting);
    }
    out << "Settings file: " << printableLine(store.filePath().string()) << '\n';
    out.flush();
}

} // namespace vantorelle::CommandLineTools
