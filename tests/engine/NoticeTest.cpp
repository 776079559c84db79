#include "EngineTest.h"

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
    audio().rawDevices.clear();
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

    audio().defaultOutput = 4; // the system moves output on its own, then a device arrives
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

    audio().defaultInput = 1;
    plug(monitor());

    ASSERT_EQ(titles(), (std::vector<std::string>{"Input switched", "Output switched"}));
    EXPECT_EQ(notices().front().body, "Built-in Microphone is now active");
}

TEST_F(NoticeTest, DefaultOutsideTheListedDevicesIsNotAnnounced)
{
    startWith();
    engine->setAutoSwitch(false, Direction::input);
    RawDevice hidden = FakeAudioSystem::device(9, "hidden-mic", "Hidden", true, false);
    hidden.isHidden = true;
    audio().add(hidden);
    audio().defaultInput = 9;
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
    audio().defaultInput = 1;
    start();

    plug(usbMic());
    lid().report(true);

    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_TRUE(notices().empty());
}

} // namespace
} // namespace vantorelle::test
