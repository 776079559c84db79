#include "services/AppIdentity.h"

#include <system_error>

namespace vantorelle {

AppIdentity AppIdentity::forExecutable(const std::filesystem::path& executable)
{
    AppIdentity identity;
    identity.executable_ = executable;
    const std::filesystem::path bin = executable.parent_path();
    if (bin.filename() != "bin") return identity;
    const std::filesystem::path prefix = bin.parent_path();
    std::error_code error;
    if (std::filesystem::is_regular_file(prefix / "share" / "applications" / desktopFileName, error)) {
        identity.prefix_ = prefix;
    }
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
