#pragma once

#include "model/StoredSettings.h"

#include <string>

namespace vantorelle::test {

// The documented status example: defaults USB headset (input) and built-in speakers (output),
// lid closed, device notices on, three input entries of which the first is not connected.
inline StoredSettings statusExampleSettings()
{
    StoredSettings settings;
    settings.inputPriority = {{"DeskMic-01", "Desk Mic"}, {"USBHeadset-1", "USB Headset"},
                              {"BuiltInMic", "Built-in Microphone"}};
    settings.notifyDeviceChange = true;
    return settings;
}

inline std::string statusExampleReport(const std::string& settingsFile)
{
    return "Current system defaults:\n"
           "  Input: USB Headset [USBHeadset-1]\n"
           "  Output: Built-in Speakers [BuiltInSpeakers]\n"
           "\n"
           "Lid: closed\n"
           "\n"
           "Auto-switch input: on\n"
           "Auto-switch output: on\n"
           "Notify on input switch: on\n"
           "Notify on output switch: on\n"
           "Notify on device connect/remove: on\n"
           "Notification sound: off\n"
           "\n"
           "Input priority:\n"
           "  1. Desk Mic [DeskMic-01] \u2014 disconnected\n"
           "  2. USB Headset [USBHeadset-1] \u2014 connected\n"
           "  3. Built-in Microphone [BuiltInMic] \u2014 connected\n"
           "\n"
           "Output priority:\n"
           "  (empty \u2014 fills in on first GUI launch)\n"
           "\n"
           "Settings file: " + settingsFile + "\n";
}

} // namespace vantorelle::test
