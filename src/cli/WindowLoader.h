#pragma once

namespace vantorelle {

// Loads the window module from beside the executable (a build tree) or from the installed library
// folder, and runs the windowed application from it. A module that cannot be loaded is said in
// one line on standard error and gives a failure status.
int runWindowModule(int argc, char** argv);

} // namespace vantorelle
