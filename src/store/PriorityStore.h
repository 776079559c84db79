#pragma once

#include "model/StoredSettings.h"

#include <filesystem>

namespace vantorelle {

// Knows where the settings file lives, reads it and writes it. Nothing here ever fails from
// the caller's point of view: reading gives a complete record, writing is silent.
class PriorityStore {
public:
    // $XDG_CONFIG_HOME/Vantorelle (or ~/.config/Vantorelle); the folder is created if missing.
    PriorityStore();
    // A store whose file is `folder`/settings.json; the folder is created if missing.
    explicit PriorityStore(std::filesystem::path folder);

    const std::filesystem::path& fileURL() const noexcept { return fileURL_; }

    StoredSettings load() const;
    void save(const StoredSettings& settings) const;

    // The folder the default constructor uses.
    static std::filesystem::path defaultFolder();

private:
    std::filesystem::path fileURL_;
};

} // namespace vantorelle
