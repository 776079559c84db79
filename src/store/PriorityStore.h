#pragma once

#include "store/SettingsStore.h"

#include <filesystem>

namespace vantorelle {

// Knows where the settings file lives, reads it and writes it. Reading always gives a complete
// record; writing tells whether it succeeded and otherwise leaves the old file as it was.
//
// A file that is there but cannot be read (permissions, not a file, not our format) is the
// user's, not ours: the save after such a load keeps it as settings.json.unreadable, and
// writes nothing when it cannot be kept.
class PriorityStore final : public SettingsStore {
public:
    // $XDG_CONFIG_HOME/Vantorelle (or ~/.config/Vantorelle); the folder is created if missing.
    PriorityStore();
    // A store whose file is `folder`/settings.json; the folder is created if missing.
    explicit PriorityStore(std::filesystem::path folder);

    const std::filesystem::path& filePath() const noexcept { return filePath_; }

    StoredSettings load() const override;
    // True when the file now holds `settings`.
    bool save(const StoredSettings& settings) const override;

    // The folder the default constructor uses, and the file in it; asking makes no folder.
    static std::filesystem::path defaultFolder();
    static std::filesystem::path defaultFilePath();

private:
    std::filesystem::path filePath_;
    // What the last load found, so a save never reads the old file again. Not part of the
    // store's value: reports load through a const store.
    mutable bool keepBeforeSaving_ = false;
};

} // namespace vantorelle
