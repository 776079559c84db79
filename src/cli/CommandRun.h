#pragma once

#include "engine/DeviceCommand.h"

namespace vantorelle {

// Exit statuses of a command.
inline constexpr int commandFailed = 1;
inline constexpr int commandBadName = 2;

// Runs a device command: over the session bus by the running instance (a manual choice there,
// with its switch notice), else directly on the sound server. Never starts the window. Returns
// the exit status: 0, commandFailed or commandBadName, with one line on standard error for
// anything but 0.
int runDeviceCommand(const DeviceCommand& command);

} // namespace vantorelle
