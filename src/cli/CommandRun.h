#pragma once

#include "cli/DeviceCommand.h"

namespace vantorelle {

// Runs a device command: over the session bus by the running instance (a manual choice there,
// with its switch notice), else directly on the sound server. Never starts the window. Returns
// the exit status: 0, commandFailed or commandBadName, with one line on standard error for
// anything but 0.
int runDeviceCommand(const DeviceCommand& command);

} // namespace vantorelle
