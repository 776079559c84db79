#include "EngineTest.h"

#include "engine/ManualChoice.h"

#include <array>

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

TEST_F(RuleTest, NoCandidateChangesNothingAndTheDefaultsAreReadOnce)
{
    storeStacks();
    addBuiltInDefaults();
    start();
    audio().add(monitor());
    audio().defaultOutput = "hdmi-monitor"; // not announced

    lid().report(true); // only the built-in microphone is connected

    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(engine->defaultInputUID(), "builtin-mic");
    EXPECT_EQ(engine->defaultOutputUID(), "hdmi-monitor") << "every moment ends with one read of the defaults";
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

namespace vantorelle::test {
namespace {

using namespace devices;

// Output stack built-in speakers, headset, monitor, all connected; which of them the rule may
// choose, and what it makes the default from the monitor.
TEST(NeverAutomaticRuleTest, TheRulePassesOverEntriesNeverChosenAutomatically)
{
    const struct {
        std::array<bool, 3> automatic;
        std::optional<std::string> expected;
    } cases[] = {
        {{true, true, true}, "builtin-speakers"},
        {{false, true, true}, "usb-headset"},
        {{false, false, true}, "hdmi-monitor"},
        {{false, false, false}, "hdmi-monitor"}, // no candidate: the default stays
        {{true, false, false}, "builtin-speakers"},
    };
    for (const auto& [automatic, expected] : cases) {
        FakeEngineParts parts;
        StoredSettings stored;
        stored.outputPriority = {saved(builtInSpeakers()), saved(headset()), saved(monitor())};
        for (std::size_t i = 0; i < automatic.size(); ++i) stored.outputPriority[i].automatic = automatic[i];
        PriorityStore(parts.folder.path()).save(stored);
        parts.audio.add(builtInSpeakers());
        parts.audio.add(headset());
        parts.audio.add(monitor());
        parts.audio.defaultOutput = "hdmi-monitor";
        const std::shared_ptr<SwitchEngine> engine = parts.makeEngine();
        engine->start();
        EXPECT_EQ(engine->defaultOutputUID(), expected) << automatic[0] << automatic[1] << automatic[2];
    }
}

class NeverAutomaticTest : public RuleTest {};

TEST_F(NeverAutomaticTest, AManualChoiceStandsUntilTheNextEventAndEditsApplyTheRule)
{
    storeStacks();
    audio().add(builtInSpeakers());
    audio().add(headset());
    audio().add(monitor());
    audio().defaultOutput = "builtin-speakers";
    start();
    writes.reset();

    engine->setAutomatic("builtin-speakers", Direction::output, false);
    EXPECT_EQ(engine->defaultOutputUID(), "usb-headset") << "taken out of the rule: the rule runs";
    EXPECT_FALSE(fileSettings().outputPriority[0].automatic);
    EXPECT_EQ(writes.count(), 1);

    engine->chooseDefault("builtin-speakers", Direction::output);
    EXPECT_EQ(engine->defaultOutputUID(), "builtin-speakers") << "a manual choice can still pick it";
    EXPECT_FALSE(engine->rows(Direction::output)[0].isAutomatic);
    unplug("hdmi-monitor");
    EXPECT_EQ(engine->defaultOutputUID(), "usb-headset") << "until the next event";

    engine->setAutomatic("builtin-speakers", Direction::output, true);
    EXPECT_EQ(engine->defaultOutputUID(), "builtin-speakers");
    engine->setAutomatic("builtin-speakers", Direction::output, true);
    engine->setAutomatic("unknown", Direction::output, false);
    EXPECT_EQ(writes.count(), 2) << "an edit that changes nothing saves nothing";
}

TEST_F(NeverAutomaticTest, TheUsersNameShowsInRowsAndNoticesAndCommandsAnnounce)
{
    storeStacks();
    StoredSettings stored = fileSettings();
    stored.notifyDeviceChange = true;
    storeSettings(stored);
    audio().add(builtInSpeakers());
    audio().add(headset());
    audio().defaultOutput = "builtin-speakers";
    start();

    engine->rename("usb-headset", Direction::output, "Desk headset");
    engine->rename("hdmi-monitor", Direction::output, "Telly");
    EXPECT_EQ(engine->rows(Direction::output)[1].name, "Desk headset");
    EXPECT_EQ(engine->rows(Direction::output)[1].deviceName, "USB Headset");
    EXPECT_EQ(fileSettings().outputPriority[2].alias, "Telly");

    plug(monitor());
    engine->chooseDefault("hdmi-monitor", Direction::output);
    EXPECT_EQ(titles(), (std::vector<std::string>{"Device connected"})) << "the tray's choice says nothing";
    engine->chooseDefault("usb-headset", Direction::output, true);
    unplug("usb-headset");
    EXPECT_EQ(notices(), (std::vector<Notice>{{"Device connected", "Telly"},
                                              {"Output switched", "Desk headset is now active"},
                                              {"Output switched", "Desk headset disconnected \u2014 Built-in Speakers is now active"},
                                              {"Device removed", "Desk headset"}}));

    engine->rename("usb-headset", Direction::output, "");
    EXPECT_EQ(engine->rows(Direction::output)[1].name, "USB Headset") << "an empty name gives the device's own back";
}

// What the commands pick from the output stack built-in speakers, headset (never automatic),
// monitor (disconnected), headphones, and the input stack built-in microphone, USB microphone.
TEST(ManualChoiceTest, NextWrapsOverUsableDevicesAndNamesMatchByUIDAliasOrName)
{
    const std::vector<SavedDevice> outputs = {{"spk", "Speakers"}, {"hs", "USB Headset", "Desk", false},
                                              {"mon", "Monitor"}, {"hp", "Headphones", "speakers"}};
    const std::vector<SavedDevice> inputs = {{"mic", "Built-in Microphone"}, {"usb", "USB Microphone"}};
    const std::vector<AudioDevice> connected = {{1, "spk", "Speakers", false, true, true},
                                                {2, "hs", "USB Headset", false, true, false},
                                                {3, "hp", "Headphones", false, true, false},
                                                {4, "mic", "Built-in Microphone", true, false, true},
                                                {5, "usb", "USB Microphone", true, false, false},
                                                {6, "free", "Unlisted Output", false, true, false}};
    const ChoiceScope output{outputs, connected, Direction::output, false};
    const ChoiceScope lidClosed{inputs, connected, Direction::input, true};
    const ChoiceScope lidOpen{inputs, connected, Direction::input, false};

    const struct {
        const ChoiceScope& scope;
        std::optional<std::string> current;
        std::optional<std::string> expected;
    } nexts[] = {
        {output, "spk", "hs"},  // never automatic, yet chosen by hand
        {output, "hs", "hp"},   // the disconnected monitor is passed over
        {output, "hp", "spk"},  // wraps to the top
        {output, "free", "spk"}, // a default outside the stack starts at the top
        {output, std::nullopt, "spk"},
        {lidClosed, "usb", "usb"}, // the lid-blocked microphone is passed over: stays
        {lidOpen, "usb", "mic"},
    };
    for (const auto& [scope, current, expected] : nexts) {
        EXPECT_EQ(pickNext(scope, current).uid, expected) << current.value_or("none");
    }
    const ChoiceOutcome none = pickNext({outputs, {}, Direction::output, false}, "spk");
    EXPECT_FALSE(none.uid);
    EXPECT_FALSE(none.badName);
    EXPECT_EQ(none.error, "no output device of the list is connected");

    const struct {
        std::string_view name;
        std::optional<std::string> expected;
    } names[] = {
        {"HS", "hs"},          // the UID first, any case
        {"desk", "hs"},        // the user's name
        {"SPEAKERS", "hp"},    // the user's name outranks another device's own
        {"usb headset", "hs"}, // the device's own name
        {"unlisted output", "free"},
    };
    for (const auto& [name, expected] : names) EXPECT_EQ(pickNamed(output, name).uid, expected) << name;
    // The tray, the commands and the bus offer the same devices: a lid-blocked microphone is none of them.
    EXPECT_FALSE(pickNamed(lidClosed, "mic").uid);
    EXPECT_EQ(pickNamed(lidOpen, "mic").uid, "mic");

    const ChoiceOutcome unknown = pickNamed(output, "Telly");
    EXPECT_TRUE(unknown.badName);
    EXPECT_EQ(unknown.error, "\"Telly\" names no connected output device; candidates: Speakers [spk], "
                             "Desk [hs], speakers [hp], Unlisted Output [free]");
    const std::vector<SavedDevice> twins = {{"a", "Same"}, {"b", "same"}};
    const ChoiceOutcome ambiguous = pickNamed({twins, {{1, "a", "Same", true, false}, {2, "b", "same", true, false}},
                                               Direction::input, false}, "SAME");
    EXPECT_TRUE(ambiguous.badName);
    EXPECT_EQ(ambiguous.error, "\"SAME\" names several input devices: Same [a], same [b]");
}

} // namespace
} // namespace vantorelle::test
