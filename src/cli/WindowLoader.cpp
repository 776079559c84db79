#include "cli/WindowLoader.h"

#include "cli/WindowModule.h"

#include <dlfcn.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace vantorelle {

namespace {

// Where the module lies, relative to the executable's folder, once installed.
constexpr const char* installedModuleFolder = VANTORELLE_MODULE_FOLDER_FROM_BINARY;

} // namespace

int runWindowModule(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path binaryFolder = fs::read_symlink("/proc/self/exe", error).parent_path();
    const std::array candidates{binaryFolder / installedModuleFolder / windowModule::fileName,
                                binaryFolder / windowModule::fileName};
    for (const fs::path& candidate : candidates) {
        if (!fs::exists(candidate, error)) continue;
        // Never closed: the application runs from it until the process ends.
        void* const module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            std::cerr << "vantorelle: cannot load the window: " << dlerror() << '\n';
            return EXIT_FAILURE;
        }
        const auto entry = reinterpret_cast<windowModule::Entry>(dlsym(module, windowModule::entryName));
        if (entry == nullptr) {
            std::cerr << "vantorelle: " << candidate.string() << " is not the window module\n";
            return EXIT_FAILURE;
        }
        return entry(argc, argv);
    }
    std::cerr << "vantorelle: the window module " << windowModule::fileName << " is missing beside "
              << binaryFolder.string() << '\n';
    return EXIT_FAILURE;
}

} // namespace vantorelle
