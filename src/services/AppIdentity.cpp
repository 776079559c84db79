#include "services/AppIdentity.h"

#include <system_error>

namespace vantorelle {

AppIdentity AppIdentity::forExecutable(const std::filesystem::path& executable)
{
    AppIdentity identity;
    identity.executable_ = executable;
    const std::filesystem::path folder = executable.parent_path();
    std::error_code error;
    const bool installed = folder.filename() == "bin"
        && std::filesystem::is_regular_file(folder.parent_path() / "share" / "applications" / desktopFileName, error);
    identity.present_ = installed || std::filesystem::is_regular_file(folder / desktopFileName, error);
    return identity;
}

const AppIdentity& AppIdentity::current()
{
    static const AppIdentity identity = [] {
        std::error_code error;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? AppIdentity{} : forExecutable(self);
    }();
    return identity;
}

} // namespace vantorelle
