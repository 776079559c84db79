#include "store/PriorityStore.h"
#include "store/SettingsJson.h"
#include "support/core/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace vantorelle {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

StoredSettings sample()
{
    StoredSettings settings;
    settings.inputPriority = {{"usb-mic", "USB Mic"}, {"builtin", "Built-in Microphone"}};
    settings.outputPriority = {{"spk", "Speakers"}};
    settings.notifyDeviceChange = true;
    return settings;
}

TEST(PriorityStoreTest, CreatesTheFolderButNoFileUntilSaved)
{
    TempFolder temp;
    const PriorityStore store(temp / "a" / "b" / "Vantorelle");
    EXPECT_TRUE(std::filesystem::is_directory(temp / "a" / "b" / "Vantorelle"));
    EXPECT_EQ(store.fileURL(), temp / "a" / "b" / "Vantorelle" / "settings.json");
    EXPECT_EQ(store.load(), StoredSettings{});
    EXPECT_FALSE(std::filesystem::exists(store.fileURL()));
}

TEST(PriorityStoreTest, SaveThenLoadGivesAnEqualRecordAndLeavesNoTemporaryFile)
{
    TempFolder temp;
    const PriorityStore store(temp.path());
    store.save(sample());
    EXPECT_EQ(store.load(), sample());
    store.save(StoredSettings{});
    EXPECT_EQ(store.load(), StoredSettings{});
    for (const auto& entry : std::filesystem::directory_iterator(temp.path())) {
        EXPECT_EQ(entry.path().filename(), "settings.json");
    }
}

TEST(PriorityStoreTest, UnreadableFileReadsAsDefaultsAndIsKeptBesideTheFirstSave)
{
    TempFolder temp;
    const PriorityStore store(temp.path());
    const std::string typo = R"({"inputPriority": [{"uid": "usb-mic", "name": "USB Mic"},]})";
    writeFile(store.fileURL(), typo);
    EXPECT_EQ(store.load(), StoredSettings{});
    EXPECT_EQ(readFile(store.fileURL()), typo) << "loading never writes";

    store.save(sample());
    EXPECT_EQ(store.load(), sample());
    const auto kept = temp / "settings.json.unreadable";
    EXPECT_EQ(readFile(kept), typo);

    // A readable file is not copied; an older copy stays until the next unreadable file.
    store.save(StoredSettings{});
    EXPECT_EQ(readFile(kept), typo);
    writeFile(store.fileURL(), "{broken again");
    store.save(sample());
    EXPECT_EQ(readFile(kept), "{broken again");
}

TEST(PriorityStoreTest, AFolderRemovedWhileRunningIsMadeAgainByTheNextSave)
{
    TempFolder temp;
    const PriorityStore store(temp / "Vantorelle");
    std::filesystem::remove_all(temp / "Vantorelle");
    store.save(sample());
    EXPECT_EQ(store.load(), sample());
}

TEST(PriorityStoreTest, HugeFilesLoad)
{
    TempFolder temp;
    const PriorityStore store(temp.path());
    StoredSettings big;
    for (int i = 0; i < 100000; ++i) big.inputPriority.push_back({"uid-" + std::to_string(i), std::string(200, 'n')});
    store.save(big);
    EXPECT_GT(std::filesystem::file_size(store.fileURL()), 20u * 1024 * 1024);
    EXPECT_EQ(store.load(), big);
}

TEST(PriorityStoreTest, FolderThatIsAFileOrUnwritableFailsSilently)
{
    TempFolder temp;
    writeFile(temp / "occupied", "a file where the folder should be");
    const PriorityStore blocked(temp / "occupied");
    blocked.save(sample());
    EXPECT_EQ(blocked.load(), StoredSettings{});
    EXPECT_EQ(readFile(temp / "occupied"), "a file where the folder should be");

    if (geteuid() == 0) GTEST_SKIP() << "root writes through permission bits";
    const PriorityStore store(temp / "locked");
    store.save(sample());
    std::filesystem::permissions(temp / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    StoredSettings changed = sample();
    changed.notifySound = true;
    store.save(changed);
    EXPECT_EQ(store.load(), sample()) << "the old file stays as it was";
}

TEST(PriorityStoreTest, DefaultFolderFollowsXdgConfigHome)
{
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/custom/config", 1);
    EXPECT_EQ(PriorityStore::defaultFolder(), "/custom/config/Vantorelle");
    setenv("XDG_CONFIG_HOME", "", 1);
    const std::filesystem::path home = std::getenv("HOME");
    EXPECT_EQ(PriorityStore::defaultFolder(), home / ".config" / "Vantorelle");
    setenv("XDG_CONFIG_HOME", "relative/path", 1);
    EXPECT_EQ(PriorityStore::defaultFolder(), home / ".config" / "Vantorelle");
    if (saved) setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace vantorelle
