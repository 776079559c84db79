#pragma once

namespace vantorelle {

// Runs the windowed application until it quits; returns the exit status.
int runApplication(int argc, char** argv);

} // namespace vantorelle
