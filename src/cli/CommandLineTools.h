#pragma once

#include "audio/AudioSystem.h"
#include "model/SavedDevice.h"
#include "store/PriorityStore.h"

#include <functional>
#include <ostream>
#include <string>
#include <unordered_set>
#include <vector>

namespace vantorelle::CommandLineTools {

// The two one-shot reports. They only read: the settings file is never written.
void listDevices(const AudioSystem& audio, const PriorityStore& store,
                 const std::function<bool()>& readLidClosed, std::ostream& out);
void printStatus(const AudioSystem& audio, const PriorityStore& store,
                 const std::function<bool()>& readLidClosed, std::ostream& out);

// One stack section of the status report.
void printPriorities(const std::string& title, const std::vector<SavedDevice>& list,
                     const std::unordered_set<std::string>& connected, std::ostream& out);

} // namespace vantorelle::CommandLineTools
