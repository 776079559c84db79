#include "store/PriorityStore.h"

#include "store/AtomicFile.h"
#include "store/ConfigHome.h"
#include "store/SettingsJson.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include <unistd.h>

namespace vantorelle {

namespace {

constexpr const char* fileName = "settings.json";
constexpr const char* temporarySuffix = ".tmp";
constexpr const char* unreadableSuffix = ".unreadable";

// `present` when anything is at the path; `text` only when that is a regular file we could read.
struct FileRead {
    bool present = false;
    std::optional<std::string> text;
};

FileRead readWholeFile(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return {};
    // Only a regular file is opened: a FIFO in its place would block the read forever.
    if (error || status.type() != std::filesystem::file_type::regular) return {true, std::nullopt};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {true, std::nullopt};
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return {true, std::nullopt};
    return {true, std::move(text)};
}

// Keeps the file under the name of the copy: a second link needs no read permission and leaves
// the original in place until the new file replaces it. Where links are refused, a copy. An
// older copy is replaced only once the new one exists.
bool keepUnreadableFile(const std::filesystem::path& target)
{
    const std::filesystem::path kept = target.string() + unreadableSuffix;
    const std::filesystem::path link = kept.string() + temporarySuffix;
    std::error_code error;
    std::filesystem::remove(link, error);
    if (::link(target.c_str(), link.c_str()) == 0) {
        const bool renamed = std::rename(link.c_str(), kept.c_str()) == 0;
        ::unlink(link.c_str()); // left over when the copy already was this very file
        return renamed;
    }
    if (errno == ENOENT) return true; // gone meanwhile: nothing left to keep
    std::filesystem::copy_file(target, kept, std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

} // namespace

std::filesystem::path PriorityStore::defaultFolder()
{
    return userConfigHome() / "Vantorelle";
}

std::filesystem::path PriorityStore::defaultFilePath()
{
    return defaultFolder() / fileName;
}

PriorityStore::PriorityStore() : PriorityStore(defaultFolder()) {}

PriorityStore::PriorityStore(std::filesystem::path folder) : filePath_(folder / fileName)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
}

StoredSettings PriorityStore::load() const
{
    const FileRead read = readWholeFile(filePath_);
    std::optional<StoredSettings> settings;
    if (read.text) settings = decodeSettings(*read.text);
    keepBeforeSaving_ = read.present && !settings;
    return settings.value_or(StoredSettings{});
}

bool PriorityStore::save(const StoredSettings& settings) const
{
    const std::string bytes = encodeSettings(settings);
    if (bytes.empty()) return false;
    // The folder may have been removed while the program runs; without it no save could succeed.
    std::error_code error;
    std::filesystem::create_directories(filePath_.parent_path(), error);
    if (keepBeforeSaving_ && !keepUnreadableFile(filePath_)) return false;
    if (!replaceAtomically(filePath_, bytes)) return false;
    keepBeforeSaving_ = false;
    return true;
}

} // namespace vantorelle
