#pragma once

// The windowed application is a module of its own, loaded only when the window starts, so the
// reports never load the window toolkit. The module lies beside the executable in the build tree
// and under the library folder once installed.
namespace vantorelle::windowModule {

inline constexpr const char* fileName = "vantorelle-window.so";
// extern "C", so the loader looks it up by a plain name.
inline constexpr const char* entryName = "vantorelle_window_main";
using Entry = int (*)(int argc, char** argv);

} // namespace vantorelle::windowModule
