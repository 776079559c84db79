#include "cli/Usage.h"

#include "model/PrintableText.h"

namespace vantorelle {

void printUsage(const std::filesystem::path& settingsFile, std::ostream& out)
{
    out << "Usage: vantorelle [--background]\n"
           "       vantorelle --list-devices | --status\n"
           "       vantorelle --help | --version\n"
           "\n"
           "Keeps the default audio input and output on the best device available.\n"
           "\n"
           "Without an option it opens its window, or that of the copy already running.\n"
           "  --background     switch without opening the window (as started at login)\n"
           "  --list-devices   print every known device with its UID, kinds and state\n"
           "  --status         print the defaults, the lid, the switches and both stacks\n"
           "  -h, --help       print this text\n"
           "  --version        print the version\n"
           "\n"
           "Settings: "
        << printableLine(settingsFile.string()) << "\n";
    out.flush();
}

void printVersion(std::ostream& out)
{
    out << "vantorelle " << VANTORELLE_VERSION << '\n';
    out.flush();
}

} // namespace vantorelle
