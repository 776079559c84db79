#include "EngineTest.h"

#include <functional>

namespace vantorelle::test {
namespace {

using namespace devices;

// Input stack headset, USB microphone, built-in microphone, external microphone; output stack
// headset, built-in speakers. The built-in pair is plugged in at start-up.
class NoticeTest : public EngineTest {
protected:
    void startWith(bool notifyDeviceChange = false, bool notifyOutputSwitch = true)
    {
        StoredSettings stored;
        stored.inputPriority = {saved(headset()), saved(usbMic()), saved(builtInMic()),
                                saved(externalMic())};
        stored.outputPriority = {saved(headset()), saved(builtInSpeakers())};
        stored.notifyDeviceChange = notifyDeviceChange;
        stored.notifyOutputSwitch = notifyOutputSwitch;
        storeSettings(stored);
        addBuiltInDefaults();
        start();
    }
};

TEST_F(NoticeTest, PluggingInTheTopDeviceAnnouncesIt)
{
    startWith();
    plug(usbMic());
    EXPECT_EQ(notices(), (std::vector<Notice>{{"Input switched", "USB Microphone connected — now active"}}));
}

TEST_F(NoticeTest, UnpluggingTheDefaultNamesBothDevices)
{
    startWith();
    plug(usbMic());
    notices().clear();

    unplug("usb-mic");

    EXPECT_EQ(notices(), (std::vector<Notice>{{"Input switched",
                                               "USB Microphone disconnected — Built-in Microphone is now active"}}));
}

TEST_F(NoticeTest, LidNoticesNameTheNewInput)
{
    startWith();
    plug(externalMic());
    ASSERT_EQ(engine->defaultInputUID(), "builtin-mic");
    notices().clear();

    lid().report(true);
    lid().report(false);

    EXPECT_EQ(notices(), (std::vector<Notice>{
                             {"Input switched", "Lid closed — External Microphone is now active"},
                             {"Input switched", "Lid open — Built-in Microphone is now active"},
                         }));
}

TEST_F(NoticeTest, ClosingTheLidWithNoOtherInputSaysNothing)
{
    startWith();
    lid().report(true);
    EXPECT_TRUE(notices().empty());
}

TEST_F(NoticeTest, OutputSwitchesCanBeSilencedAlone)
{
    startWith(false, false);
    plug(headset());
    ASSERT_EQ(engine->defaultOutputUID(), "usb-headset");
    EXPECT_EQ(notices(), (std::vector<Notice>{{"Input switched", "USB Headset connected — now active"}}));
}

TEST_F(NoticeTest, OnePassAnnouncesInputOutputConnectedRemovedInThatOrder)
{
    startWith(true);
    plug(monitor());
    notices().clear();

    audio().removeUID("hdmi-monitor");
    audio().add(headset());
    audio().fireDeviceListChange();

    EXPECT_EQ(notices(), (std::vector<Notice>{
                             {"Input switched", "USB Headset connected — now active"},
                             {"Output switched", "USB Headset connected — now active"},
                             {"Device connected", "USB Headset"},
                             {"Device removed", "HDMI Monitor"},
                         }));
}

TEST_F(NoticeTest, DeviceNoticesFollowTheSystemAndPreviousOrders)
{
    startWith(true);
    audio().add(monitor());
    audio().add(externalMic());
    audio().fireDeviceListChange();
    audio().devicesPresent.clear();
    audio().fireDeviceListChange();

    EXPECT_EQ(notices(), (std::vector<Notice>{
                             {"Device connected", "HDMI Monitor"},
                             {"Device connected", "External Microphone"},
                             {"Device removed", "Built-in Microphone"},
                             {"Device removed", "Built-in Speakers"},
                             {"Device removed", "HDMI Monitor"},
                             {"Device removed", "External Microphone"},
                         }));
}

TEST_F(NoticeTest, DeviceThatCameAndWentBetweenTwoPassesIsNotAnnounced)
{
    startWith(true);
    audio().add(usbMic());
    audio().removeUID("usb-mic");
    audio().fireDeviceListChange();
    EXPECT_TRUE(notices().empty());
}

TEST_F(NoticeTest, DefaultPickedByTheSystemDuringAPassIsAnnouncedPlainly)
{
    startWith();
    engine->setAutoSwitch(false, Direction::output);
    audio().add(headset());
    audio().fireDeviceListChange(); // auto-switching for output is off: the speakers stay
    notices().clear();

    audio().defaultOutput = "usb-headset"; // the system moves output on its own, then a device arrives
    audio().add(monitor());
    audio().fireDeviceListChange();

    EXPECT_EQ(notices(), (std::vector<Notice>{{"Output switched", "USB Headset is now active"}}));
}

TEST_F(NoticeTest, AbsentPreviousDefaultCountsAsASwitch)
{
    StoredSettings stored;
    stored.autoSwitchInput = false;
    storeSettings(stored);
    audio().add(builtInMic());
    start();
    ASSERT_FALSE(engine->defaultInputUID());

    audio().defaultInput = "builtin-mic";
    plug(monitor());

    ASSERT_EQ(titles(), (std::vector<std::string>{"Input switched", "Output switched"}));
    EXPECT_EQ(notices().front().body, "Built-in Microphone is now active");
}

TEST_F(NoticeTest, DefaultOutsideTheListedDevicesIsNotAnnounced)
{
    startWith();
    engine->setAutoSwitch(false, Direction::input);
    audio().defaultInput = "hidden-mic"; // a device the system does not list
    audio().fireDeviceListChange();
    EXPECT_TRUE(notices().empty());
}

TEST_F(NoticeTest, SwitchNoticesOffSilenceLidAndDeviceListSwitches)
{
    StoredSettings stored;
    stored.inputPriority = {saved(builtInMic()), saved(usbMic())};
    stored.notifyInputSwitch = false;
    storeSettings(stored);
    audio().add(builtInMic());
    audio().defaultInput = "builtin-mic";
    start();

    plug(usbMic());
    lid().report(true);

    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_TRUE(notices().empty());
}

TEST_F(NoticeTest, EachNoticeSwitchPublishesSavesAndAsksPermissionOnlyWhenTurnedOn)
{
    startWith();
    struct Case {
        const char* name;
        std::function<void(SwitchEngine&, bool)> set;
        bool StoredSettings::*flag;
        bool asksPermission;
    };
    const std::vector<Case> cases = {
        {"input", [](SwitchEngine& e, bool v) { e.setNotifyOnSwitch(v, Direction::input); },
         &StoredSettings::notifyInputSwitch, true},
        {"output", [](SwitchEngine& e, bool v) { e.setNotifyOnSwitch(v, Direction::output); },
         &StoredSettings::notifyOutputSwitch, true},
        {"devices", [](SwitchEngine& e, bool v) { e.setNotifyOnDeviceChange(v); },
         &StoredSettings::notifyDeviceChange, true},
        {"sound", [](SwitchEngine& e, bool v) { e.setPlaySound(v); }, &StoredSettings::notifySound, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool value : {false, true}) {
            int announced = 0;
            const auto subscription = engine->observe([&](EngineField field) {
                if (field == EngineField::settings) ++announced;
            });
            const StoredSettings before = engine->settings();
            const int permissions = parts.notifier.permissionRequests;
            writes.reset();
            c.set(*engine, value);

            StoredSettings expected = before;
            expected.*(c.flag) = value;
            EXPECT_EQ(engine->settings(), expected) << "nothing else changes";
            EXPECT_EQ(announced, 1);
            EXPECT_EQ(writes.count(), 1);
            EXPECT_EQ(fileSettings(), expected);
            EXPECT_EQ(parts.notifier.permissionRequests, permissions + (value && c.asksPermission ? 1 : 0));
        }
    }
    // The sound switch reaches the very next notice.
    engine->setPlaySound(true);
    plug(usbMic());
    ASSERT_FALSE(notices().empty());
    for (const Notice& notice : notices()) EXPECT_TRUE(notice.sound) << notice.title;
    engine->setPlaySound(false);
    EXPECT_FALSE(parts.notifier.playSound());
}

// A notice keeps its English pattern and names apart for the window's languages; the names go
// in whole, also one that looks like a placeholder itself.
TEST(NoticeText, NamesFillThePatternInOnePass)
{
    const NoticeText notice{"Input switched", "%1 disconnected — %2 is now active", {"Mic %2", "Desk 100%"}};
    EXPECT_EQ(notice.body(), "Mic %2 disconnected — Desk 100% is now active");
    EXPECT_EQ(NoticeText::fillPattern("%3 and %1%", {"a"}), "%3 and a%") << "a missing name leaves its marker";
}

} // namespace
} // namespace vantorelle::test
