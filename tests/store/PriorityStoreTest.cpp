#include "store/PriorityStore.h"
#include "store/SettingsJson.h"
#include "support/core/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorelle {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

// Root reads and writes through permission bits, and CI runs as root: there the checks run in
// a child process that has dropped to the unprivileged user "nobody".
void asUnprivilegedUser(const std::function<void()>& checks)
{
    if (geteuid() != 0) return checks();
    const passwd* nobody = getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    EXPECT_EXIT(
        {
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
                std::fputs("could not drop to nobody\n", stderr);
                std::_Exit(2);
            }
            checks();
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

std::filesystem::perms permissionsOf(const std::filesystem::path& path)
{
    return std::filesystem::status(path).permissions();
}

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
    EXPECT_EQ(store.filePath(), temp / "a" / "b" / "Vantorelle" / "settings.json");
    EXPECT_EQ(store.load(), StoredSettings{});
    EXPECT_FALSE(std::filesystem::exists(store.filePath()));
}

TEST(PriorityStoreTest, SaveThenLoadGivesAnEqualRecordAndLeavesNoTemporaryFile)
{
    TempFolder temp;
    const PriorityStore store(temp.path());
    store.save(sample());
    EXPECT_EQ(store.load(), sample());
    using std::filesystem::perms;
    std::filesystem::permissions(store.filePath(), perms::owner_read | perms::owner_write | perms::group_read);
    EXPECT_TRUE(store.save(StoredSettings{}));
    EXPECT_EQ(store.load(), StoredSettings{});
    EXPECT_EQ(permissionsOf(store.filePath()), perms::owner_read | perms::owner_write | perms::group_read)
        << "a private file stays private";
    for (const auto& entry : std::filesystem::directory_iterator(temp.path())) {
        EXPECT_EQ(entry.path().filename(), "settings.json");
    }
}

TEST(PriorityStoreTest, UnreadableFileReadsAsDefaultsAndIsKeptBesideTheFirstSave)
{
    TempFolder temp;
    const PriorityStore store(temp.path());
    const std::string typo = R"({"inputPriority": [{"uid": "usb-mic", "name": "USB Mic"},]})";
    writeFile(store.filePath(), typo);
    EXPECT_EQ(store.load(), StoredSettings{});
    EXPECT_EQ(readFile(store.filePath()), typo) << "loading never writes";

    store.save(sample());
    EXPECT_EQ(store.load(), sample());
    const auto kept = temp / "settings.json.unreadable";
    EXPECT_EQ(readFile(kept), typo);

    // A readable file is not copied; an older copy stays until the next unreadable file.
    store.save(StoredSettings{});
    EXPECT_EQ(readFile(kept), typo);
    writeFile(store.filePath(), "{broken again");
    EXPECT_EQ(store.load(), StoredSettings{});
    store.save(sample());
    EXPECT_EQ(readFile(kept), "{broken again");
}

TEST(PriorityStoreTest, AFileTheUserCannotReadIsKeptByTheNextSave)
{
    asUnprivilegedUser([] {
        TempFolder temp;
        const PriorityStore store(temp.path());
        StoredSettings mine;
        mine.outputPriority = {{"studio", "Studio Monitors"}};
        ASSERT_TRUE(store.save(mine));
        std::filesystem::permissions(store.filePath(), std::filesystem::perms::none);
        EXPECT_EQ(store.load(), StoredSettings{});

        EXPECT_TRUE(store.save(sample()));
        EXPECT_EQ(store.load(), sample()) << "the new file is readable by its owner";
        const auto kept = temp / "settings.json.unreadable";
        std::filesystem::permissions(kept, std::filesystem::perms::owner_read);
        EXPECT_EQ(decodeSettings(readFile(kept)), mine);
    });
}

TEST(PriorityStoreTest, SomethingThatIsNotAFileIsNeitherReadNorReplaced)
{
    TempFolder temp;
    const PriorityStore store(temp.path());
    std::filesystem::create_directory(store.filePath());
    writeFile(store.filePath() / "inside", "kept");
    EXPECT_EQ(store.load(), StoredSettings{});
    EXPECT_FALSE(store.save(sample()));
    EXPECT_EQ(readFile(store.filePath() / "inside"), "kept");

    const PriorityStore pipe(temp / "pipe");
    ASSERT_EQ(mkfifo(pipe.filePath().c_str(), 0600), 0);
    EXPECT_EQ(pipe.load(), StoredSettings{}) << "and never blocks";
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
    EXPECT_GT(std::filesystem::file_size(store.filePath()), 20u * 1024 * 1024);
    EXPECT_EQ(store.load(), big);
}

TEST(PriorityStoreTest, FolderThatIsAFileOrUnwritableFailsSilently)
{
    TempFolder temp;
    writeFile(temp / "occupied", "a file where the folder should be");
    const PriorityStore blocked(temp / "occupied");
    EXPECT_FALSE(blocked.save(sample()));
    EXPECT_EQ(blocked.load(), StoredSettings{});
    EXPECT_EQ(readFile(temp / "occupied"), "a file where the folder should be");

    asUnprivilegedUser([] {
        TempFolder own;
        const PriorityStore store(own / "locked");
        ASSERT_TRUE(store.save(sample()));
        std::filesystem::permissions(own / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        StoredSettings changed = sample();
        changed.notifySound = true;
        EXPECT_FALSE(store.save(changed));
        EXPECT_EQ(store.load(), sample()) << "the old file stays as it was";
    });
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
