#include "cli/CommandLineTools.h"
#include "engine/DeviceCommand.h"
#include "cli/ReportMode.h"
#include "store/SettingsJson.h"
#include "support/core/FakeAudioSystem.h"
#include "support/core/StatusExample.h"
#include "support/core/TempFolder.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

namespace vantorelle {
namespace {

using test::FakeAudioSystem;

class ReportsTest : public ::testing::Test {
protected:
    ReportsTest() : store(temp.path()) {}

    std::string listDevices(bool lidClosed)
    {
        std::ostringstream out;
        CommandLineTools::listDevices(audio, store, [lidClosed] { return lidClosed; }, out);
        return out.str();
    }
    std::string status(bool lidClosed)
    {
        std::ostringstream out;
        CommandLineTools::printStatus(audio, store, [lidClosed] { return lidClosed; }, out);
        return out.str();
    }

    std::string json(bool listing)
    {
        std::ostringstream out;
        (listing ? CommandLineTools::listDevicesJson : CommandLineTools::printStatusJson)(audio, store, [] { return true; }, out);
        return out.str();
    }

    test::TempFolder temp;
    FakeAudioSystem audio;
    PriorityStore store;
};

TEST_F(ReportsTest, ListingWorkedExample)
{
    audio.add(FakeAudioSystem::device(1, "BuiltInMic", "Built-in Microphone", true, false, true));
    audio.add(FakeAudioSystem::device(2, "BuiltInSpeakers", "Built-in Speakers", false, true, true));
    audio.add(FakeAudioSystem::device(3, "USBHeadset-1", "USB Headset", true, true));
    StoredSettings settings;
    settings.inputPriority = {{"DeskMic-01", "Desk Mic"}, {"USBHeadset-1", "USB Headset"}};
    settings.outputPriority = {{"DeskMic-01", "Desk Mic"}, {"Studio-02", "Studio Speakers"}};
    store.save(settings);

    EXPECT_EQ(listDevices(true),
              "Built-in Microphone | uid=BuiltInMic | input | connected | unavailable (lid closed)\n"
              "Built-in Speakers | uid=BuiltInSpeakers | output | connected\n"
              "USB Headset | uid=USBHeadset-1 | input+output | connected\n"
              "Desk Mic | uid=DeskMic-01 | input+output | disconnected\n"
              "Studio Speakers | uid=Studio-02 | output | disconnected\n");
    const std::string open = listDevices(false);
    EXPECT_EQ(open.substr(0, open.find('\n')), "Built-in Microphone | uid=BuiltInMic | input | connected");
    EXPECT_EQ(open.find("unavailable"), std::string::npos);
}

TEST_F(ReportsTest, ListingDeduplicatesStoredEntriesAndPrintsNamesAsTheyAreOnOneLine)
{
    audio.add(FakeAudioSystem::device(1, "live", "Live | \"quoted\"\nfake line \u202E マイク", true, false));
    StoredSettings settings;
    // Connected and stored: printed once with the live device's kinds.
    settings.inputPriority = {{"gone", "Gone\tIn"}, {"live", "stored name"}, {"gone", "Gone In again"}};
    settings.outputPriority = {{"live", "stored name"}, {"gone", "Gone Out name"}, {"out-only", "Out"},
                               {"out-only", "Out twice"}};
    store.save(settings);
    EXPECT_EQ(listDevices(false),
              "Live | \"quoted\"\uFFFDfake line \uFFFD マイク | uid=live | input | connected\n"
              "Gone\uFFFDIn | uid=gone | input+output | disconnected\n"
              "Out | uid=out-only | output | disconnected\n");
    EXPECT_NE(status(false).find("\n  1. Gone\uFFFDIn [gone] \u2014 disconnected\n"), std::string::npos);
    EXPECT_EQ(store.load(), settings) << "the file keeps the names as they are";
}

TEST_F(ReportsTest, ListingOfNothingPrintsNothing)
{
    EXPECT_EQ(listDevices(true), "");
    test::writeFile(store.filePath(), "{ unreadable");
    audio.add(FakeAudioSystem::device(1, "spk", "Speakers", false, true, true));
    EXPECT_EQ(listDevices(true), "Speakers | uid=spk | output | connected\n");
    EXPECT_EQ(test::readFile(store.filePath()), "{ unreadable") << "reports never write the file";
}

TEST_F(ReportsTest, StatusWorkedExample)
{
    audio.add(FakeAudioSystem::device(11, "BuiltInMic", "Built-in Microphone", true, false, true));
    audio.add(FakeAudioSystem::device(12, "BuiltInSpeakers", "Built-in Speakers", false, true, true));
    audio.add(FakeAudioSystem::device(13, "USBHeadset-1", "USB Headset", true, true));
    audio.defaultInput = "USBHeadset-1";
    audio.defaultOutput = "BuiltInSpeakers";
    const StoredSettings settings = test::statusExampleSettings();
    store.save(settings);

    EXPECT_EQ(status(true), test::statusExampleReport(store.filePath().string()));
}

TEST_F(ReportsTest, StatusFallbacks)
{
    // The default is a device that is not listed (hidden), without a name.
    audio.defaultInput = "hidden-default";
    StoredSettings settings;
    for (int i = 1; i <= 10; ++i) settings.outputPriority.push_back({"o" + std::to_string(i), "Out " + std::to_string(i)});
    settings.inputPriority = {{"hidden-default", "Hidden"}, {"hidden-default", "Hidden"}};
    settings.autoSwitchOutput = false;
    settings.notifySound = true;
    store.save(settings);

    const std::string text = status(false);
    EXPECT_NE(text.find("  Input: ? [hidden-default]\n  Output: none\n"), std::string::npos);
    EXPECT_NE(text.find("Lid: open\n"), std::string::npos);
    EXPECT_NE(text.find("Auto-switch output: off\n"), std::string::npos);
    EXPECT_NE(text.find("Notification sound: on\n"), std::string::npos);
    EXPECT_NE(text.find("  1. Hidden [hidden-default] \u2014 disconnected\n"
                        "  2. Hidden [hidden-default] \u2014 disconnected\n"), std::string::npos);
    EXPECT_NE(text.find("  9. Out 9 [o9] \u2014 disconnected\n  10. Out 10 [o10] \u2014 disconnected\n\n"
                        "Settings file: "), std::string::npos);

    // Someone who uses calls sees their lines and stacks too.
    settings.routeCallsOutput = true;
    settings.callsOutputPriority = {{"o2", "Out 2", "Desk", false}};
    store.save(settings);
    const std::string withCalls = status(false);
    EXPECT_NE(withCalls.find("Notification sound: on\nCalls on their own input: off\nCalls on their own output: on\n\n"),
              std::string::npos);
    EXPECT_NE(withCalls.find("Input priority for calls:\n  (empty \u2014 fills in when calls get a device of their own)\n\n"
                             "Output priority for calls:\n  1. Desk (never automatic) [o2] \u2014 disconnected\n\n"
                             "Settings file: "),
              std::string::npos)
        << withCalls;
    const nlohmann::json report = nlohmann::json::parse(json(false));
    EXPECT_EQ(report["routeCallsOutput"], true);
    EXPECT_EQ(report["callsOutputPriority"].size(), 1u);
}

TEST_F(ReportsTest, StatusOnAFreshMachine)
{
    audio.failDeviceList = true;
    const std::string text = status(false);
    EXPECT_EQ(text.substr(0, text.find("Settings file: ")),
              "Current system defaults:\n  Input: none\n  Output: none\n\nLid: open\n\n"
              "Auto-switch input: on\nAuto-switch output: on\nNotify on input switch: on\n"
              "Notify on output switch: on\nNotify on device connect/remove: off\nNotification sound: off\n\n"
              "Input priority:\n  (empty \u2014 fills in on first GUI launch)\n\n"
              "Output priority:\n  (empty \u2014 fills in on first GUI launch)\n\n");
    EXPECT_FALSE(std::filesystem::exists(store.filePath()));
}

TEST_F(ReportsTest, TheUsersNamesAndMarksInTextAndTheSameFactsInJSON)
{
    audio.add(FakeAudioSystem::device(1, "spk", "Family 17h HD Audio Controller", false, true, true));
    audio.add(FakeAudioSystem::device(2, "hdmi", "HDMI Monitor", false, true));
    audio.add(FakeAudioSystem::device(3, "mic", "Built-in Microphone", true, false, true));
    audio.defaultOutput = "spk";
    StoredSettings settings;
    settings.outputPriority = {{"spk", "Family 17h HD Audio Controller", "Desk\nspeakers"}, {"hdmi", "HDMI Monitor", "", false},
                               {"gone", "Old Speakers", "Attic"}};
    settings.inputPriority = {{"mic", "Built-in Microphone"}};
    store.save(settings);

    EXPECT_EQ(listDevices(false),
              "Desk\uFFFDspeakers | uid=spk | output | connected\n"
              "HDMI Monitor | uid=hdmi | output | connected\n"
              "Built-in Microphone | uid=mic | input | connected\n"
              "Attic | uid=gone | output | disconnected\n");
    const std::string text = status(false);
    EXPECT_NE(text.find("  Output: Desk\uFFFDspeakers [spk]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Output priority:\n"
                        "  1. Desk\uFFFDspeakers [spk] \u2014 connected\n"
                        "  2. HDMI Monitor (never automatic) [hdmi] \u2014 connected\n"
                        "  3. Attic [gone] \u2014 disconnected\n\n"),
              std::string::npos)
        << text;

    const nlohmann::json listing = nlohmann::json::parse(json(true));
    ASSERT_EQ(listing.at("devices").size(), 4u);
    EXPECT_EQ(listing["devices"][0], (nlohmann::json{{"name", "Desk\nspeakers"}, {"deviceName", "Family 17h HD Audio Controller"},
                                                     {"uid", "spk"}, {"input", false}, {"output", true},
                                                     {"connected", true}, {"lidBlocked", false}}));
    EXPECT_TRUE(listing["devices"][2]["lidBlocked"]);
    EXPECT_FALSE(listing["devices"][3]["connected"]);

    const nlohmann::json report = nlohmann::json::parse(json(false));
    EXPECT_EQ(report["defaults"]["output"], (nlohmann::json{{"name", "Desk\nspeakers"}, {"uid", "spk"}}));
    EXPECT_TRUE(report["defaults"]["input"].is_null());
    EXPECT_TRUE(report["lidClosed"]);
    EXPECT_TRUE(report["otherChooser"].is_null());
    EXPECT_EQ(report["settingsFile"], store.filePath().string());
    EXPECT_EQ(report["outputPriority"][1], (nlohmann::json{{"rank", 2}, {"name", "HDMI Monitor"}, {"deviceName", "HDMI Monitor"},
                                                           {"uid", "hdmi"}, {"connected", true}, {"automatic", false}}));
    for (const char* flag : {"autoSwitchInput", "autoSwitchOutput", "notifyInputSwitch", "notifyOutputSwitch",
                             "notifyDeviceChange", "notifySound"}) {
        EXPECT_TRUE(report.at(flag).is_boolean()) << flag;
    }

    // Another program choosing defaults: one line under the defaults, and the same words in JSON.
    audio.otherChooser = OtherChooser::switchOnConnect;
    const std::string line = "  " + std::string(describe(OtherChooser::switchOnConnect)) + "\n";
    EXPECT_NE(status(false).find("  Output: Desk\uFFFDspeakers [spk]\n" + line + "\n"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(json(false))["otherChooser"], describe(OtherChooser::switchOnConnect));
}

TEST(ReportModeTest, DeviceCommandsTakeTheirNameFromTheNextArgument)
{
    using Args = std::vector<std::string_view>;
    using Kind = DeviceCommand::Kind;
    EXPECT_EQ(deviceCommandFor(Args{"vantorelle"}), std::nullopt);
    EXPECT_EQ(deviceCommandFor(Args{"vantorelle", "--next-input"}), (DeviceCommand{Kind::next, Direction::input, {}}));
    EXPECT_EQ(deviceCommandFor(Args{"vantorelle", "--select-output", "Desk speakers", "--next-input"}),
              (DeviceCommand{Kind::select, Direction::output, "Desk speakers"}));
    EXPECT_EQ(deviceCommandFor(Args{"vantorelle", "--select-input"}), (DeviceCommand{Kind::select, Direction::input, {}}));
    EXPECT_EQ(deviceCommandFor(Args{"vantorelle", "--Next-Output", "--select-output=x"}), std::nullopt);
}

TEST(ReportModeTest, WholeCaseSensitiveMatchesWithListingFirst)
{
    using Args = std::vector<std::string_view>;
    EXPECT_EQ(reportModeFor(Args{"vantorelle"}), std::nullopt);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "--status", "--list-devices"}), ReportMode::listDevices);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "--list-devices", "--status"}), ReportMode::listDevices);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "-x", "--status", "junk"}), ReportMode::status);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "--Status"}), std::nullopt);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "--status=1"}), std::nullopt);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "--list"}), std::nullopt);
    // The program path itself is an element like any other.
    EXPECT_EQ(reportModeFor(Args{"--status"}), ReportMode::status);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "--list-devices", "-h", "--version"}), ReportMode::help);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "--status", "--version"}), ReportMode::version);
    EXPECT_EQ(reportModeFor(Args{"vantorelle", "-help", "--Help", "--help=1", "-v"}), std::nullopt);
}

} // namespace
} // namespace vantorelle
