#pragma once

#include <memory>

namespace vantorelle {

class SwitchEngine;

// The application's engine over the real services: the sound server, the settings file in
// the user's configuration folder, desktop notices and the lid. Not started.
std::shared_ptr<SwitchEngine> makeApplicationEngine();

} // namespace vantorelle
