#include "store/PriorityStore.h"

#include "store/SettingsJson.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace vantorelle {

namespace {

constexpr const char* fileName = "settings.json";
constexpr const char* temporarySuffix = ".tmp";
constexpr const char* unreadableSuffix = ".unreadable";

std::optional<std::string> readWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

std::filesystem::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes a sibling file and renames it over the target, so a reader (or a crash at any moment)
// sees either the old or the new complete file. The temporary name is fixed: a file left by a
// killed process is simply overwritten by the next save and never read.
bool replaceAtomically(const std::filesystem::path& target, const std::string& bytes)
{
    const std::filesystem::path temporary = target.string() + temporarySuffix;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// A hand-edited file with one typo would otherwise be replaced by the next save, taking the
// user's ranked stacks with it. Keep it beside the new one instead.
void keepUnreadableFile(const std::filesystem::path& target)
{
    const std::optional<std::string> existing = readWholeFile(target);
    if (!existing || decodeSettings(*existing)) return;
    std::error_code error;
    std::filesystem::copy_file(target, target.string() + unreadableSuffix,
                               std::filesystem::copy_options::overwrite_existing, error);
}

} // namespace

std::filesystem::path PriorityStore::defaultFolder()
{
    // Relative values are invalid by the XDG rules and are ignored like an unset variable.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome == '/') return std::filesystem::path(configHome) / "Vantorelle";
    return homeFolder() / ".config" / "Vantorelle";
}

PriorityStore::PriorityStore() : PriorityStore(defaultFolder()) {}

PriorityStore::PriorityStore(std::filesystem::path folder) : fileURL_(folder / fileName)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
}

StoredSettings PriorityStore::load() const
{
    const std::optional<std::string> text = readWholeFile(fileURL_);
    if (!text) return StoredSettings{};
    return decodeSettings(*text).value_or(StoredSettings{});
}

void PriorityStore::save(const StoredSettings& settings) const
{
    const std::string bytes = encodeSettings(settings);
    if (bytes.empty()) return;
    // The folder may have been removed while the program runs; without it no save could succeed.
    std::error_code error;
    std::filesystem::create_directories(fileURL_.parent_path(), error);
    keepUnreadableFile(fileURL_);
    replaceAtomically(fileURL_, bytes);
}

} // namespace vantorelle
