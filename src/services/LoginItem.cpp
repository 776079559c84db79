#include "services/LoginItem.h"

#include "store/AtomicFile.h"

#include "store/ConfigHome.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace vantorelle {

namespace {

// An argument of an Exec line, quoted as the desktop entry format wants when it holds
// anything but plain characters; a literal percent sign is doubled in either case.
std::string execArgument(const std::string& path)
{
    bool needsQuotes = path.empty();
    std::string escaped;
    for (const char c : path) {
        if (c == '%') {
            escaped += "%%";
            continue;
        }
        if (std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos) needsQuotes = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\') escaped += '\\';
        escaped += c;
    }
    if (!needsQuotes) return escaped;
    // The whole line is itself an escaped string: every backslash is doubled once more.
    std::string line;
    for (const char c : escaped) {
        if (c == '\\') line += '\\';
        line += c;
    }
    return '"' + line + '"';
}

std::string trim(std::string text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

LoginItem::LoginItem(AppIdentity identity, std::filesystem::path autostartFolder)
    : identity_(std::move(identity)), entryFile_(std::move(autostartFolder) / AppIdentity::desktopFileName)
{
}

LoginItem LoginItem::forCurrentProcess()
{
    return LoginItem(AppIdentity::current(), defaultAutostartFolder());
}

std::filesystem::path LoginItem::defaultAutostartFolder()
{
    return userConfigHome() / "autostart";
}

bool LoginItem::isBackgroundStart(const std::vector<std::string_view>& arguments)
{
    return arguments.size() > 1 && std::find(arguments.begin() + 1, arguments.end(), backgroundArgument) != arguments.end();
}

bool LoginItem::isEnabled() const
{
    if (!entryFile_.is_absolute()) return false;
    std::ifstream file(entryFile_);
    if (!file) return false;
    bool inMainGroup = false;
    std::string line;
    while (std::getline(file, line)) {
        line = trim(line);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = trim(line.substr(0, equals));
        const std::string value = trim(line.substr(equals + 1));
        if (key == "Hidden" && value == "true") return false;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
    }
    return true;
}

bool LoginItem::registerItem() const
{
    // Without a home there is no autostart folder, and a relative one would depend on the
    // working directory.
    if (!identity_.present() || !entryFile_.is_absolute()) return false;
    std::error_code error;
    std::filesystem::create_directories(entryFile_.parent_path(), error);
    if (error) return false;

    std::ostringstream entry;
    entry << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=Vantorelle\n"
          << "Comment=Keeps the default audio devices on the best one available\n"
          << "Exec=" << execArgument(identity_.executable().string()) << ' ' << backgroundArgument << "\n"
          << "Icon=vantorelle\n"
          << "Terminal=false\n"
          << "X-GNOME-Autostart-enabled=true\n";

    // A failed write leaves the old entry.
    return replaceAtomically(entryFile_, entry.str());
}

bool LoginItem::unregisterItem() const
{
    std::error_code error;
    std::filesystem::remove(entryFile_, error);
    return !std::filesystem::exists(entryFile_, error) && !error;
}

} // namespace vantorelle
