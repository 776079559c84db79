#include "audio/pulse/PulseAudioSystem.h"
#include "cli/CommandLineTools.h"
#include "cli/CommandRun.h"
#include "cli/PulseCookie.h"
#include "cli/ReportMode.h"
#include "cli/Usage.h"
#include "cli/WindowLoader.h"
#include "services/UpowerLidRead.h"

#include <algorithm>
#include <csignal>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// The reports build their own short-lived parts and never listen or write the settings file.
// They load no Qt at all: the window is a module of its own (see WindowLoader).
int runReport(vantorelle::ReportMode mode, bool json)
{
    using namespace vantorelle;
    // Neither needs a store (which would make the settings folder) nor a server.
    if (mode == ReportMode::help) {
        printUsage(PriorityStore::defaultFilePath(), std::cout);
        return 0;
    }
    if (mode == ReportMode::version) {
        printVersion(std::cout);
        return 0;
    }
    const PriorityStore store;
    const std::unique_ptr<PulseAudioSystem> audio = PulseAudioSystem::snapshot();
    const auto readLid = [] { return readUpowerLidClosed(); };
    if (mode == ReportMode::listDevices) {
        (json ? CommandLineTools::listDevicesJson : CommandLineTools::listDevices)(*audio, store, readLid, std::cout);
    } else {
        (json ? CommandLineTools::printStatusJson : CommandLineTools::printStatus)(*audio, store, readLid, std::cout);
    }
    // The report itself stays as it is; only standard error says why it shows no devices.
    if (!audio->isReady()) std::cerr << "vantorelle: no sound server answered; no device is shown as connected.\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Notices and reports go to standard output; a reader that went away must not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    // Before any sound-server connection of either mode.
    vantorelle::keepPulseCookieOutOfReadOnlyConfig();
    const std::vector<std::string_view> arguments(argv, argv + argc);
    if (const auto mode = vantorelle::reportModeFor(arguments)) {
        return runReport(*mode, std::ranges::find(arguments, "--json") != arguments.end());
    }
    if (const auto command = vantorelle::deviceCommandFor(arguments)) return vantorelle::runDeviceCommand(*command);
    return vantorelle::runWindowModule(argc, argv);
}
