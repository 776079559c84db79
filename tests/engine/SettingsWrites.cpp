#include "SettingsWrites.h"

#include <array>
#include <cstring>
#include <stdexcept>

#include <sys/inotify.h>
#include <unistd.h>

namespace vantorelle::test {

SettingsWrites::SettingsWrites(const std::filesystem::path& file)
    : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(file.filename().string())
{
    if (fd_ < 0) throw std::runtime_error("inotify_init1 failed");
    if (inotify_add_watch(fd_, file.parent_path().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0) {
        ::close(fd_);
        throw std::runtime_error("inotify_add_watch failed");
    }
}

SettingsWrites::~SettingsWrites()
{
    ::close(fd_);
}

int SettingsWrites::count()
{
    drain();
    return counted_;
}

void SettingsWrites::reset()
{
    drain();
    counted_ = 0;
}

// The kernel queues the event inside the rename or close call itself, so everything a finished
// save caused is already readable here.
void SettingsWrites::drain()
{
    alignas(inotify_event) std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        if (n <= 0) return;
        for (ssize_t offset = 0; offset < n;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + offset, sizeof event);
            if (event.mask & IN_Q_OVERFLOW) throw std::runtime_error("file event queue overflowed");
            const char* name = buffer.data() + offset + sizeof event;
            if (event.len > 0 && name_ == name) ++counted_;
            offset += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
}

} // namespace vantorelle::test
