#include "store/AtomicFile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorelle {

namespace {

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

} // namespace

// Writes a sibling file and renames it over the target, so a reader (or a crash at any moment)
// sees either the old or the new complete file; the folder is synced so the rename itself
// survives a power loss. The temporary name is fixed: a file left by a killed process is simply
// overwritten by the next save and never read. The new file keeps the old one's permissions
// (a user who made it private keeps it private), always readable and writable by its owner.
bool replaceAtomically(const std::filesystem::path& target, const std::string& bytes)
{
    const std::filesystem::path temporary = target.string() + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat old {};
    const bool keepMode = ::stat(target.c_str(), &old) == 0;
    const bool ok = (!keepMode || ::fchmod(fd, (old.st_mode & 07777) | S_IRUSR | S_IWUSR) == 0)
        && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace vantorelle
