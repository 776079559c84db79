#include "EngineTest.h"

namespace vantorelle::test {
namespace {

using namespace devices;

// Input stack built-in microphone, USB microphone, external microphone; output stack built-in
// speakers, headset, monitor.
class RuleTest : public EngineTest {
protected:
    void storeStacks(bool autoSwitchInput = true, bool autoSwitchOutput = true)
    {
        StoredSettings stored;
        stored.inputPriority = {saved(builtInMic()), saved(usbMic()), saved(externalMic())};
        stored.outputPriority = {saved(builtInSpeakers()), saved(headset()), saved(monitor())};
        stored.autoSwitchInput = autoSwitchInput;
        stored.autoSwitchOutput = autoSwitchOutput;
        storeSettings(stored);
    }
};

TEST_F(RuleTest, HighestRankedUsableDeviceBecomesDefault)
{
    storeStacks();
    audio().add(usbMic());
    audio().add(builtInMic());
    audio().add(monitor());
    audio().defaultInput = "usb-mic";
    audio().defaultOutput = "hdmi-monitor";

    SwitchEngine& e = start();

    EXPECT_EQ(e.defaultInputUID(), "builtin-mic") << "stack order, not system order";
    EXPECT_EQ(e.defaultOutputUID(), "hdmi-monitor");
    EXPECT_EQ(audio().defaultInput, "builtin-mic");
    EXPECT_EQ(setCallsFor(Direction::output), 0u) << "already the default: nothing set";
}

TEST_F(RuleTest, AutoSwitchOffLeavesTheDefaultAloneUntilTurnedOn)
{
    storeStacks(false, true);
    audio().add(externalMic());
    audio().defaultInput = "ext-mic";
    start();

    plug(builtInMic());
    lid().report(true);
    lid().report(false);
    engine->moveUp("ext-mic", Direction::input);
    EXPECT_EQ(setCallsFor(Direction::input), 0u);
    EXPECT_EQ(engine->defaultInputUID(), "ext-mic");

    engine->setAutoSwitch(true, Direction::input);
    EXPECT_EQ(engine->defaultInputUID(), "builtin-mic");
}

TEST_F(RuleTest, EntryThatNoLongerWorksInTheDirectionIsPassedOver)
{
    storeStacks();
    AudioDevice outputOnlyNow = builtInMic();
    outputOnlyNow.isInput = false;
    outputOnlyNow.isOutput = true;
    audio().add(outputOnlyNow);
    audio().add(usbMic());
    audio().defaultInput = "builtin-mic";
    // What a user who asks why sees: the pick, and what was passed over and why.
    struct Lines final : Trace {
        bool isOn() const noexcept override { return true; }
        void write(const std::string& line) override { written.push_back(line); }
        std::vector<std::string> written;
    };
    auto trace = std::make_unique<Lines>();
    const std::vector<std::string>& written = trace->written;
    make().setTrace(std::move(trace));
    engine->start();

    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_NE(std::ranges::find(written, "input: chose usb-mic; passed over builtin-mic (does not work in this direction)"),
              written.end());
}

TEST_F(RuleTest, ConnectedDeviceOutsideTheStackIsNeverChosen)
{
    storeStacks();
    audio().add(builtInMic());
    audio().add(usbMic());
    audio().defaultInput = "builtin-mic";
    start();
    engine->remove("builtin-mic", Direction::input);
    engine->remove("usb-mic", Direction::input);
    audio().defaultInput = "usb-mic";
    audio().fireDefaultChange();

    engine->setAutoSwitch(true, Direction::input); // the stack now holds no connected device

    EXPECT_EQ(setCallsFor(Direction::input), 0u);
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
}

TEST_F(RuleTest, ChosenDeviceAlreadyDefaultIsNotSetButDefaultsAreReRead)
{
    storeStacks();
    audio().add(builtInMic());
    audio().add(builtInSpeakers());
    audio().add(monitor());
    audio().defaultInput = "builtin-mic";
    audio().defaultOutput = "builtin-speakers";
    start();
    audio().defaultOutput = "hdmi-monitor"; // changed elsewhere, not announced yet

    engine->setAutoSwitch(true, Direction::input);

    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(engine->defaultOutputUID(), "hdmi-monitor");
}

TEST_F(RuleTest, NoCandidateChangesNothingAndReadsNothing)
{
    storeStacks();
    addBuiltInDefaults();
    start();
    audio().add(monitor());
    audio().defaultOutput = "hdmi-monitor"; // not announced

    lid().report(true); // only the built-in microphone is connected

    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(engine->defaultInputUID(), "builtin-mic");
    EXPECT_EQ(engine->defaultOutputUID(), "builtin-speakers") << "the published defaults are not re-read";
}

TEST_F(RuleTest, FailingSetLeavesThePublishedUIDOnTheRealDefault)
{
    storeStacks();
    audio().add(usbMic());
    audio().defaultInput = "usb-mic";
    start();
    audio().failSets = true;

    plug(builtInMic());

    EXPECT_EQ(setCallsFor(Direction::input), 1u);
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    const std::vector<DeviceRow> rows = engine->rows(Direction::input);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[1].isActive);
    EXPECT_TRUE(notices().empty()) << "nothing switched";

    audio().failSets = false;
    audio().fireDeviceListChange();
    EXPECT_EQ(engine->defaultInputUID(), "builtin-mic") << "the next pass tries again";
}

TEST_F(RuleTest, DeviceVanishingBetweenTheListAndTheSetCall)
{
    storeStacks();
    StoredSettings stored = fileSettings();
    stored.notifyDeviceChange = true;
    storeSettings(stored);
    audio().add(usbMic());
    audio().defaultInput = "usb-mic";
    start();
    audio().beforeSet = [this] { audio().removeUID("builtin-mic"); };

    plug(builtInMic());

    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_EQ(titles(), (std::vector<std::string>{"Device connected"}));

    audio().beforeSet = nullptr;
    audio().fireDeviceListChange(); // the system reports the removal
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_EQ(titles(), (std::vector<std::string>{"Device connected", "Device removed"}));
    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"builtin-mic", "usb-mic", "ext-mic"}));
}

TEST_F(RuleTest, BuiltInOutputStaysUsableWithTheLidClosed)
{
    storeStacks();
    audio().add(builtInSpeakers());
    audio().add(headset());
    audio().defaultOutput = "usb-headset";
    lid().report(true);

    start();

    EXPECT_EQ(engine->defaultOutputUID(), "builtin-speakers");
    EXPECT_EQ(engine->defaultInputUID(), "usb-headset");
}

TEST_F(RuleTest, UnreadableDefaultCountsAsDifferent)
{
    storeStacks();
    audio().add(builtInMic());
    audio().defaultInput = "builtin-mic";
    start();
    audio().setCalls.clear();
    audio().failDefaultReads = true;

    engine->setAutoSwitch(true, Direction::input);

    ASSERT_EQ(audio().setCalls.size(), 1u);
    EXPECT_EQ(audio().setCalls[0].uid, "builtin-mic");
    EXPECT_FALSE(engine->defaultInputUID());
}

TEST_F(RuleTest, RepeatedUIDInTheSystemListingEarlierDeviceWins)
{
    storeStacks();
    audio().add(FakeAudioSystem::device(7, "usb-mic", "USB Microphone", true, false));
    audio().add(FakeAudioSystem::device(8, "usb-mic", "USB Microphone", true, false));
    start();
    ASSERT_EQ(setCallsFor(Direction::input), 1u);
    EXPECT_EQ(audio().setCalls[0].uid, "usb-mic");
}

} // namespace
} // namespace vantorelle::test
