// The reports as the real binary prints them, against a private pulseaudio daemon, UPower from
// dbusmock and a crafted settings file.
#include "support/platform/PulseTestSupport.h"
#include "store/SettingsJson.h"
#include "support/core/StatusExample.h"
#include "support/core/TempFolder.h"
#include "support/platform/DBusServices.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <functional>

#include <gtest/gtest.h>

namespace vantorelle {
namespace {

using test::DBusServicesEnvironment;

class ReportsEndToEndTest : public test::PulseDaemonSuite {
protected:
    void SetUp() override
    {
        PulseDaemonSuite::SetUp();
        configHome = (folder / "config").string();
    }

    struct Result {
        int exitCode = -1;
        std::string out;
        std::string err;
    };

    using Adjustment = std::function<void(QProcessEnvironment&)>;
    Result run(const QStringList& arguments, const Adjustment& adjust = {}, const QString& program = VANTORELLE_BINARY)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(configHome));
        if (adjust) adjust(environment);
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished();
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
    }

    std::filesystem::path settingsFile() const { return std::filesystem::path(configHome) / "Vantorelle" / "settings.json"; }

    void writeSettings(const StoredSettings& settings)
    {
        std::filesystem::create_directories(settingsFile().parent_path());
        test::writeFile(settingsFile(), encodeSettings(settings));
    }

    void addWorkedExampleDevices()
    {
        ASSERT_TRUE(daemon().addSource("BuiltInMic", {{"device.description", "Built-in Microphone"},
                                                      {"device.form_factor", "internal"}, {"device.bus", "pci"}}));
        ASSERT_TRUE(daemon().addSink("BuiltInSpeakers", {{"device.description", "Built-in Speakers"},
                                                         {"device.form_factor", "internal"}, {"device.bus", "pci"}}));
        ASSERT_TRUE(daemon().addSource("USBHeadset-1", {{"device.description", "USB Headset"}, {"device.bus", "usb"}}));
    }

    test::TempFolder folder;
    std::string configHome;
};

TEST_F(ReportsEndToEndTest, ListDevicesWithTheLidClosed)
{
    addWorkedExampleDevices();
    StoredSettings settings;
    settings.inputPriority = {{"DeskMic-01", "Desk Mic"}, {"USBHeadset-1", "USB Headset"}};
    settings.outputPriority = {{"DeskMic-01", "Desk Mic"}, {"Studio-02", "Studio Speakers"}};
    writeSettings(settings);
    ASSERT_TRUE(DBusServicesEnvironment::services().startUpower(true, true));

    const Result result = run({"--status", "--list-devices"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    // The server lists its sinks before its sources.
    EXPECT_EQ(result.out,
              "Built-in Speakers | uid=BuiltInSpeakers | output | connected\n"
              "Built-in Microphone | uid=BuiltInMic | input | connected | unavailable (lid closed)\n"
              "USB Headset | uid=USBHeadset-1 | input | connected\n"
              "Desk Mic | uid=DeskMic-01 | input+output | disconnected\n"
              "Studio Speakers | uid=Studio-02 | output | disconnected\n");

    ASSERT_TRUE(DBusServicesEnvironment::services().setLid(true, false));
    EXPECT_EQ(run({"--list-devices"}).out.find("unavailable"), std::string::npos);
}

TEST_F(ReportsEndToEndTest, StatusShowsDefaultsLidSwitchesStacksAndPath)
{
    addWorkedExampleDevices();
    ASSERT_TRUE(daemon().setDefaultSource("USBHeadset-1"));
    ASSERT_TRUE(daemon().setDefaultSink("BuiltInSpeakers"));
    const StoredSettings settings = test::statusExampleSettings();
    writeSettings(settings);
    const std::string before = test::readFile(settingsFile());
    ASSERT_TRUE(DBusServicesEnvironment::services().startUpower(true, true));

    const Result result = run({"ignored", "--status"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, test::statusExampleReport(settingsFile().string()));
    EXPECT_EQ(test::readFile(settingsFile()), before) << "reports never write the settings file";
}

TEST_F(ReportsEndToEndTest, StatusNamesTheServersSwitchOnConnectModuleInOneLine)
{
    const auto module = daemon().loadModule("module-switch-on-connect", {});
    ASSERT_TRUE(module);
    const Result result = run({"--status"});
    const std::string line = "  " + std::string(describe(OtherChooser::switchOnConnect)) + '\n';
    EXPECT_NE(result.out.find("\n" + line + '\n'), std::string::npos) << result.out;
    ASSERT_TRUE(daemon().unload(*module));
    EXPECT_EQ(run({"--status"}).out.find("Another program"), std::string::npos);
}

TEST_F(ReportsEndToEndTest, NoServerNoLidNoFile)
{
    DBusServicesEnvironment::services().stopUpower();
    const QByteArray savedServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + QByteArray::fromStdString((folder / "no-such-socket").string()));
    const Result result = run({"--status"});
    qputenv("PULSE_SERVER", savedServer);

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "vantorelle: no sound server answered; no device is shown as connected.\n");
    EXPECT_EQ(result.out.substr(0, result.out.find("\nAuto-switch")),
              "Current system defaults:\n  Input: none\n  Output: none\n\nLid: open\n");
    EXPECT_TRUE(std::filesystem::is_directory(settingsFile().parent_path())) << "the folder is created";
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
    EXPECT_EQ(run({"--list-devices"}).out, "");
}

TEST_F(ReportsEndToEndTest, HelpAndVersionTouchNeitherSettingsNorServer)
{
    const Result help = run({"--status", "-h"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vantorelle [--background]\n")) << help.out;
    EXPECT_NE(help.out.find("\nSettings: " + settingsFile().string() + "\n"), std::string::npos) << help.out;
    EXPECT_FALSE(std::filesystem::exists(settingsFile().parent_path()));
    EXPECT_EQ(run({"--version"}).out.substr(0, 11), "vantorelle ");
}

TEST_F(ReportsEndToEndTest, AWindowWithoutADisplaySaysWhatWasFoundAndWhatIsMissing)
{
    // A copy of the program whose Qt finds no platform plugins at all (qt.conf beside it).
    const std::filesystem::path binary(VANTORELLE_BINARY);
    const std::filesystem::path copy = folder / "bin" / binary.filename();
    std::filesystem::create_directories(folder / "bin" / "plugins");
    std::filesystem::copy_file(binary, copy);
    std::filesystem::create_symlink(binary.parent_path() / "vantorelle-window.so", folder / "bin" / "vantorelle-window.so");
    test::writeFile(folder / "bin" / "qt.conf", "[Paths]\nPlugins=" + (folder / "bin" / "plugins").string() + "\n");

    // A session whose Wayland socket is not there (or not ours) to open.
    const Adjustment waylandOnly = [this](QProcessEnvironment& environment) {
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.insert("WAYLAND_DISPLAY", "wayland-test");
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder.path().string()));
    };
    const Result missing = run({}, waylandOnly, QString::fromStdString(copy.string()));
    const Result unopened = run({}, waylandOnly);

    const std::string reports = "; the reports (vantorelle --status, vantorelle --list-devices) work without a display.\n";
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "vantorelle: a Wayland display (wayland-test) was found, but Qt's Wayland support "
                           "(qt6-wayland) is not installed" + reports);
    EXPECT_EQ(unopened.exitCode, 1);
    EXPECT_EQ(unopened.err, "vantorelle: a Wayland display (wayland-test) was found, but it could not be opened" + reports);
}

TEST_F(ReportsEndToEndTest, AConfigFolderThatCannotBeWrittenAddsNothingToStandardError)
{
    // Under a plain file nothing can be created, not even by root; libpulse would complain on
    // every connection that it cannot make its cookie there.
    ASSERT_TRUE(daemon().addSink("speakers", {{"device.description", "Laptop Speakers"}}));
    test::writeFile(folder / "file", "");
    configHome = (folder / "file" / "config").string();
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.path().string()));
    const Result result = run({"--list-devices"});
    qputenv("XDG_RUNTIME_DIR", savedRuntime);

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Laptop Speakers | uid=speakers | output | connected\n");
}

TEST_F(ReportsEndToEndTest, ReportsLoadNoToolkitAtAll)
{
    // The dynamic loader names every library it loads, also those loaded at run time.
    qputenv("LD_DEBUG", "files");
    const Result result = run({"--status"});
    qunsetenv("LD_DEBUG");
    EXPECT_EQ(result.exitCode, 0);
    ASSERT_NE(result.err.find("file=libpulse.so.0"), std::string::npos) << result.err;
    for (const char* toolkit : {"libQt6Core", "libQt6Widgets", "libQt6Gui", "libQt6Svg", "vantorelle-window"}) {
        EXPECT_EQ(result.err.find(toolkit), std::string::npos) << toolkit;
    }
}

} // namespace
} // namespace vantorelle
