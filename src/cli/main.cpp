#include "audio/pulse/PulseAudioSystem.h"
#include "cli/CommandLineTools.h"
#include "cli/ReportMode.h"
#include "services/LidMonitor.h"
#include "ui/Application.h"

#include <QCoreApplication>

#include <csignal>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// The reports build their own short-lived parts and never listen or write the settings file.
int runReport(vantorelle::ReportMode mode, int argc, char** argv)
{
    using namespace vantorelle;
    // The lid is read over D-Bus, which wants an application object (no event loop runs).
    const QCoreApplication app(argc, argv);
    // Standard output carries the report alone, and nothing goes to standard error.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const PriorityStore store;
    const AudioDeviceManager manager(std::make_unique<PulseAudioSystem>());
    const auto readLid = [] { return LidMonitor::readLidClosed(); };
    if (mode == ReportMode::listDevices) CommandLineTools::listDevices(manager, store, readLid, std::cout);
    else CommandLineTools::printStatus(manager, store, readLid, std::cout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Notices and reports go to standard output; a reader that went away must not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string_view> arguments(argv, argv + argc);
    if (const auto mode = vantorelle::reportModeFor(arguments)) return runReport(*mode, argc, argv);
    vantorelle::runApplication(argc, argv);
    return 0;
}
