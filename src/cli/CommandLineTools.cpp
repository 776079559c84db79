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

void printDefault(const SystemDefaults& defaults, Direction direction, std::ostream& out)
{
    const char* label = direction == Direction::input ? "Input" : "Output";
    const std::optional<DefaultDevice>& device = defaults.of(direction);
    if (!device) {
        out << "  " << label << ": none\n";
        return;
    }
    out << "  " << label << ": " << printableLine(device->name.value_or("?")) << " [" << printableLine(device->uid)
        << "]\n";
}

void printFlag(const char* label, bool value, std::ostream& out)
{
    out << label << (value ? "on" : "off") << '\n';
}

} // namespace

void listDevices(const AudioSystem& audio, const PriorityStore& store,
                 const std::function<bool()>& readLidClosed, std::ostream& out)
{
    const StoredSettings settings = store.load();
    const std::vector<AudioDevice> devices = audio.devices().value_or(std::vector<AudioDevice>{});
    std::unordered_set<std::string> seen;
    for (const AudioDevice& device : devices) seen.insert(device.uid);
    const bool lidClosed = readLidClosed();

    for (const AudioDevice& device : devices) {
        out << printableLine(device.name) << " | uid=" << printableLine(device.uid) << " | "
            << kinds(device.isInput, device.isOutput) << " | connected";
        if (lidClosed && device.isInput && device.isBuiltIn) out << " | unavailable (lid closed)";
        out << '\n';
    }
    for (const SavedDevice& entry : settings.inputPriority) {
        if (!seen.insert(entry.uid).second) continue;
        const bool alsoOutput = std::ranges::find(settings.outputPriority, entry.uid, &SavedDevice::uid)
            != settings.outputPriority.end();
        out << printableLine(entry.name) << " | uid=" << printableLine(entry.uid) << " | "
            << kinds(true, alsoOutput) << " | disconnected\n";
    }
    for (const SavedDevice& entry : settings.outputPriority) {
        if (!seen.insert(entry.uid).second) continue;
        out << printableLine(entry.name) << " | uid=" << printableLine(entry.uid) << " | output | disconnected\n";
    }
    out.flush();
}

void printPriorities(const std::string& title, const std::vector<SavedDevice>& list,
                     const std::unordered_set<std::string>& connected, std::ostream& out)
{
    out << title << ":\n";
    if (list.empty()) out << "  (empty " << emDash << " fills in on first GUI launch)\n";
    std::size_t rank = 1;
    for (const SavedDevice& entry : list) {
        out << "  " << rank++ << ". " << printableLine(entry.name) << " [" << printableLine(entry.uid) << "] "
            << emDash << ' ' << (connected.contains(entry.uid) ? "connected" : "disconnected") << '\n';
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
    for (const Direction direction : allDirections) printDefault(defaults, direction, out);
    if (defaults.otherChooser) out << "  " << describe(*defaults.otherChooser) << '\n';
    out << '\n';
    out << "Lid: " << (readLidClosed() ? "closed" : "open") << "\n\n";
    printFlag("Auto-switch input: ", settings.autoSwitchInput, out);
    printFlag("Auto-switch output: ", settings.autoSwitchOutput, out);
    printFlag("Notify on input switch: ", settings.notifyInputSwitch, out);
    printFlag("Notify on output switch: ", settings.notifyOutputSwitch, out);
    printFlag("Notify on device connect/remove: ", settings.notifyDeviceChange, out);
    printFlag("Notification sound: ", settings.notifySound, out);
    out << '\n';
    printPriorities("Input priority", settings.inputPriority, connected, out);
    printPriorities("Output priority", settings.outputPriority, connected, out);
    out << "Settings file: " << printableLine(store.filePath().string()) << '\n';
    out.flush();
}

} // namespace vantorelle::CommandLineTools
