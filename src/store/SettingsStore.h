#pragma once

#include "model/StoredSettings.h"

namespace vantorelle {

// Where the settings are kept between runs. Reading always gives a complete record; writing
// tells whether it succeeded. Neither throws.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual StoredSettings load() const = 0;
    // True when the kept settings now equal `settings`.
    virtual bool save(const StoredSettings& settings) const = 0;
};

} // namespace vantorelle
