#include "cli/Usage.h"

#include "model/PrintableText.h"

namespace vantorelle {

void printUsage(const std::filesystem::path& settingsFile, std::ostream& out)
{
    out << "Usage: vantorelle [--background]\n"
           "       vantorelle --list-devices | --status [--json]\n"
           "       vantorelle --next-output | --next-input\n"
           "       vantorelle --select-output NAME | --select-input NAME\n"
           "       vantorelle --help | --version\n"
           "\n"
           "Keeps the default audio input and output on the best device available.\n"
           "\n"
           "Without an option it opens its window, or that of the copy already running.\n"
           "  --background     switch without opening the window (as started at login)\n"
           "  --list-devices   print every known device with its UID, kinds and state\n"
           "  --status         print the defaults, the lid, the switches and both stacks\n"
           "  --json           print the report as one JSON object\n"
           "  --next-output    make the next connected output of the list the default\n"
           "  --next-input     make the next connected input of the list the default\n"
           "  --select-output NAME, --select-input NAME\n"
           "                   make the device NAME the default: its UID, your name for it\n"
           "                   or its own name, in any letter case\n"
           "  -h, --help       print this text\n"
           "  --version        print the version\n"
           "\n"
           "The four commands go to the running copy (which shows a switch notice when those are on),\n"
           "else straight to the sound server. A NAME that fits no device or several exits with 2.\n"
           "To put one on a key:\n"
           "  GNOME       Settings > Keyboard > Custom Shortcuts, command: vantorelle --next-output\n"
           "  KDE Plasma  System Settings > Shortcuts > Add New > Command or Script: vantorelle --next-output\n"
           "  sway        bindsym $mod+F12 exec vantorelle --next-output\n"
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
