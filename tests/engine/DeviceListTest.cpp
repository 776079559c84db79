#include "EngineTest.h"

namespace vantorelle::test {
namespace {

using namespace devices;

// Starts from a machine with its built-in microphone and speakers, stacks already seeded.
class DeviceListTest : public EngineTest {
protected:
    void SetUp() override
    {
        addBuiltInDefaults();
        start();
        writes.reset();
    }
};

TEST_F(DeviceListTest, NewDeviceEntersTheBottomOfEachMatchingStack)
{
    plug(headset());
    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"builtin-mic", "usb-headset"}));
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"builtin-speakers", "usb-headset"}));
    EXPECT_EQ(writes.count(), 1);

    plug(usbMic());
    EXPECT_EQ(stack(Direction::input),
              (std::vector<std::string>{"builtin-mic", "usb-headset", "usb-mic"}));
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"builtin-speakers", "usb-headset"}))
        << "an input-only device stays out of the output stack";
    EXPECT_EQ(writes.count(), 2);
    EXPECT_EQ(fileSettings(), engine->settings());
}

TEST_F(DeviceListTest, ReconfirmingKnownDevicesWritesNothing)
{
    plug(usbMic());
    writes.reset();
    const std::string before = readFile(parts.settingsFile);

    audio().fireDeviceListChange();
    audio().fireDeviceListChange();
    unplug("usb-mic");
    plug(usbMic(33)); // back under a new handle, same UID and name

    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(readFile(parts.settingsFile), before);
}

TEST_F(DeviceListTest, ReturningDeviceKeepsItsRankAndARenameIsSaved)
{
    plug(usbMic());
    engine->moveUp("usb-mic", Direction::input);
    unplug("usb-mic");
    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"usb-mic", "builtin-mic"}))
        << "unplugging keeps the entry";
    writes.reset();

    AudioDevice renamed = usbMic(40);
    renamed.name = "USB Microphone (2)";
    plug(renamed);

    ASSERT_EQ(stack(Direction::input), (std::vector<std::string>{"usb-mic", "builtin-mic"}));
    EXPECT_EQ(engine->settings().inputPriority.front().name, "USB Microphone (2)");
    EXPECT_EQ(writes.count(), 1);
    EXPECT_EQ(fileSettings(), engine->settings());
}

TEST_F(DeviceListTest, SameUIDWithNewNameAbilitiesOrHandleIsNeitherAddedNorRemoved)
{
    StoredSettings withDeviceNotices = engine->settings();
    withDeviceNotices.notifyDeviceChange = true;
    engine->setSettings(withDeviceNotices);
    plug(usbMic());
    notices().clear();

    audio().removeUID("usb-mic");
    AudioDevice changed = usbMic(77);
    changed.name = "USB Microphone Pro";
    changed.isOutput = true;
    plug(changed);

    EXPECT_TRUE(notices().empty());
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"builtin-speakers", "usb-mic"}))
        << "a device that now plays sound joins the output stack";
    ASSERT_FALSE(engine->settings().inputPriority.empty());
    EXPECT_EQ(engine->settings().inputPriority.back().name, "USB Microphone Pro");
}

TEST_F(DeviceListTest, DeviceRemovedByTheUserWhileConnectedComesBackAtTheBottom)
{
    plug(usbMic());
    plug(externalMic());
    engine->remove("usb-mic", Direction::input);
    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"builtin-mic", "ext-mic"}));

    audio().fireDeviceListChange();

    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"builtin-mic", "ext-mic", "usb-mic"}));
}

TEST_F(DeviceListTest, SystemListingADeviceTwiceAddsOneEntry)
{
    audio().add(usbMic(3));
    audio().add(usbMic(13));
    audio().fireDeviceListChange();
    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"builtin-mic", "usb-mic"}));
}

TEST_F(DeviceListTest, ADeviceListedTwiceUnderTwoNamesKeepsItsFirstNameAndStopsSaving)
{
    plug(usbMic(3));
    AudioDevice twin = FakeAudioSystem::device(13, "usb-mic", "USB Mic (second listing)", true, false);
    audio().add(twin);
    audio().fireDeviceListChange();
    writes.reset();

    audio().fireDeviceListChange();
    audio().fireDeviceListChange();

    EXPECT_EQ(engine->settings().inputPriority.back(), (SavedDevice{"usb-mic", usbMic(3).name}));
    EXPECT_EQ(writes.count(), 0);
}

TEST_F(DeviceListTest, NoAnswerIsNoPassUntilTheServerAnswersAgain)
{
    plug(usbMic());
    const StoredSettings before = engine->settings();
    const std::vector<AudioDevice> connected = engine->connected();
    const std::size_t sets = audio().setCalls.size();
    notices().clear();
    writes.reset();

    // A stalled server: a device event and a lid change arrive while no read is answered.
    audio().failDeviceList = true;
    audio().fireDeviceListChange();
    lid().report(true);
    audio().fireDefaultChange();

    EXPECT_EQ(engine->connected(), connected) << "the last known devices stay";
    EXPECT_EQ(engine->settings(), before);
    EXPECT_EQ(engine->defaultInputUID(), "builtin-mic");
    EXPECT_EQ(engine->defaultOutputUID(), "builtin-speakers");
    EXPECT_EQ(audio().setCalls.size(), sets);
    EXPECT_TRUE(notices().empty());
    EXPECT_EQ(writes.count(), 0);

    // The server answers again: one pass with the lid state of that moment.
    audio().failDeviceList = false;
    audio().fireDeviceListChange();
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_EQ(notices(), (std::vector<Notice>{{"Input switched", "Lid closed \u2014 USB Microphone is now active"}}));

    // A server that has not answered a set yet: nothing is published or told until it does.
    notices().clear();
    audio().holdSetAnswers = true;
    lid().report(false);
    EXPECT_EQ(audio().setCalls.size(), sets + 2);
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_TRUE(notices().empty());
    audio().answerSets();
    EXPECT_EQ(engine->defaultInputUID(), "builtin-mic");
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices().front().body.rfind("Lid open \u2014 ", 0), 0u) << notices().front().body;
}

TEST_F(DeviceListTest, FirstPassOnANewConnectionAppliesTheRuleQuietly)
{
    // The server restarted with its own choice of defaults and a device not seen before.
    audio().add(usbMic());
    audio().defaultInput = "usb-mic";
    audio().fireDeviceListChange(true);

    EXPECT_EQ(engine->defaultInputUID(), "builtin-mic");
    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"builtin-mic", "usb-mic"}));
    EXPECT_TRUE(notices().empty());
}

TEST_F(DeviceListTest, ManualDefaultChangeIsPublishedAndStands)
{
    plug(monitor());
    const int passes = audio().deviceListReads;
    const std::size_t sets = audio().setCalls.size();

    audio().defaultOutput = "hdmi-monitor"; // the user picks the monitor although the speakers rank higher
    audio().fireDefaultChange();

    EXPECT_EQ(engine->defaultOutputUID(), "hdmi-monitor");
    EXPECT_EQ(audio().setCalls.size(), sets);
    EXPECT_EQ(audio().deviceListReads, passes) << "a default change is no device-list pass";
    EXPECT_EQ(audio().defaultOutput, "hdmi-monitor");
}

TEST_F(DeviceListTest, ConnectedFollowsTheManagerOrder)
{
    audio().devicesPresent.insert(audio().devicesPresent.begin(), usbMic());
    audio().fireDeviceListChange();
    ASSERT_EQ(engine->connected().size(), 3u);
    EXPECT_EQ(engine->connected()[0].uid, "usb-mic");
    EXPECT_EQ(engine->connected()[1].uid, "builtin-mic");
}

} // namespace
} // namespace vantorelle::test
