#pragma once

#include <filesystem>
#include <string>

namespace vantorelle::test {

// Counts completed writes of one file, exactly, through the kernel's file events: a replace by
// rename and a direct write both count once. Comparing modification times cannot tell one save
// from two within the same clock tick, nor a rewrite with identical content from none.
class SettingsWrites {
public:
    // Watches the folder holding `file`, which must exist.
    explicit SettingsWrites(const std::filesystem::path& file);
    ~SettingsWrites();
    SettingsWrites(const SettingsWrites&) = delete;
    SettingsWrites& operator=(const SettingsWrites&) = delete;

    // Writes completed since construction or the last reset().
    int count();
    void reset();

private:
    void drain();

    int fd_ = -1;
    std::string name_;
    int counted_ = 0;
};

} // namespace vantorelle::test
