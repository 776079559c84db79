// Launch at login through an XDG autostart entry.
#include "UiTestSupport.h"

#include "services/LoginItem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace vantorelle::test {
namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv()
    {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class LoginItemTest : public ::testing::Test {
protected:
    FakeInstallation installation;
    TempFolder config;
    std::filesystem::path autostart = config / "autostart";
};

TEST_F(LoginItemTest, RegisteringWritesAnEntryThatStartsTheInstalledProgram)
{
    const LoginItem item(installation.identity(), autostart);
    EXPECT_FALSE(item.isEnabled());
    ASSERT_TRUE(item.registerItem()) << "the folder is created on the way";
    EXPECT_EQ(item.entryFile(), autostart / "vantorelle.desktop");
    EXPECT_TRUE(item.isEnabled());

    const std::string entry = readFile(item.entryFile());
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0U);
    EXPECT_NE(entry.find("Type=Application\n"), std::string::npos);
    EXPECT_NE(entry.find("Exec=" + installation.executable.string() + " --background\n"), std::string::npos) << entry;
    EXPECT_FALSE(std::filesystem::exists(item.entryFile().string() + ".tmp"));

    ASSERT_TRUE(item.registerItem()) << "registering twice is harmless";
    ASSERT_TRUE(item.unregisterItem());
    EXPECT_FALSE(std::filesystem::exists(item.entryFile()));
    EXPECT_FALSE(item.isEnabled());
    EXPECT_TRUE(item.unregisterItem()) << "nothing left to remove is still success";
}

TEST(LoginItemStart, OnlyTheEntrysArgumentMakesABackgroundStart)
{
    EXPECT_TRUE(LoginItem::isBackgroundStart({"/usr/bin/vantorelle", "--background"}));
    EXPECT_TRUE(LoginItem::isBackgroundStart({"vantorelle", "-platform", "xcb", "--background"}));
    EXPECT_FALSE(LoginItem::isBackgroundStart({"vantorelle"}));
    EXPECT_FALSE(LoginItem::isBackgroundStart({"--background"})) << "the program's own name does not count";
    EXPECT_FALSE(LoginItem::isBackgroundStart({"vantorelle", "--Background", "background"}));
}

TEST_F(LoginItemTest, WithoutAnIdentityNothingIsRegisteredAndABuildFolderHasOne)
{
    const LoginItem item(AppIdentity::forExecutable("/nowhere/build/vantorelle"), autostart);
    EXPECT_FALSE(item.registerItem());
    EXPECT_FALSE(std::filesystem::exists(autostart));
    EXPECT_FALSE(item.isEnabled());

    // A build folder: the desktop entry lies beside the executable, and the entry starts that build.
    TempFolder build;
    writeFile(build / "vantorelle.desktop", "[Desktop Entry]\n");
    const LoginItem built(AppIdentity::forExecutable(build / "vantorelle"), autostart);
    ASSERT_TRUE(built.registerItem());
    EXPECT_NE(readFile(built.entryFile()).find("Exec=" + (build / "vantorelle").string() + " --background\n"), std::string::npos);
}

TEST_F(LoginItemTest, AnEntryTheDesktopWasToldToSkipIsNotEnabled)
{
    const LoginItem item(installation.identity(), autostart);
    std::filesystem::create_directories(autostart);
    writeFile(item.entryFile(), "[Desktop Entry]\nType=Application\nExec=vantorelle\nHidden=true\n");
    EXPECT_FALSE(item.isEnabled());
    writeFile(item.entryFile(), "[Desktop Entry]\nExec=vantorelle\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(item.isEnabled());
    // Keys of other groups do not count.
    writeFile(item.entryFile(), "[Desktop Entry]\nExec=vantorelle\n[Desktop Action x]\nHidden=true\n");
    EXPECT_TRUE(item.isEnabled());

    writeFile(item.entryFile(), "[Desktop Entry]\nExec=vantorelle\nHidden=true\n");
    ASSERT_TRUE(item.registerItem());
    EXPECT_TRUE(item.isEnabled()) << "registering again replaces a hidden entry";
}

TEST_F(LoginItemTest, AFailedWriteReportsFailureAndKeepsTheOldEntry)
{
    // A file where the folder should be: nothing can be written below it, even as root.
    writeFile(autostart, "in the way");
    const LoginItem blocked(installation.identity(), autostart);
    EXPECT_FALSE(blocked.registerItem());
    EXPECT_FALSE(blocked.isEnabled());
}

TEST_F(LoginItemTest, ExecutablePathsWithSpacesAndSpecialCharactersAreQuoted)
{
    TempFolder odd;
    const std::filesystem::path prefix = odd / "My Apps $HOME 100%";
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "share" / "applications");
    writeFile(prefix / "bin" / "vantorelle", "");
    writeFile(prefix / "share" / "applications" / "vantorelle.desktop", "");
    const LoginItem item(AppIdentity::forExecutable(prefix / "bin" / "vantorelle"), autostart);
    ASSERT_TRUE(item.registerItem());
    const std::string entry = readFile(item.entryFile());
    const std::string expected = "Exec=\"" + (odd / "My Apps \\\\$HOME 100%%").string() + "/bin/vantorelle\" --background\n";
    EXPECT_NE(entry.find(expected), std::string::npos) << entry;
}

TEST(LoginItemFolder, FollowsXdgConfigHomeAndFallsBackToTheHomeFolder)
{
    const ScopedEnv home("HOME", "/home/someone");
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(LoginItem::defaultAutostartFolder(), std::filesystem::path("/tmp/cfg/autostart"));
    }
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "");
        EXPECT_EQ(LoginItem::defaultAutostartFolder(), std::filesystem::path("/home/someone/.config/autostart"));
    }
    {
        const ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(LoginItem::defaultAutostartFolder(), std::filesystem::path("/home/someone/.config/autostart"));
    }
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ(LoginItem::defaultAutostartFolder(), std::filesystem::path("/home/someone/.config/autostart"));
    }
}

} // namespace
} // namespace vantorelle::test
