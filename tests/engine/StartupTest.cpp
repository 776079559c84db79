#include "EngineTest.h"

namespace vantorelle::test {
namespace {

using namespace devices;

class StartupTest : public EngineTest {};

TEST_F(StartupTest, ConstructionTouchesNothing)
{
    audio().add(builtInMic());
    audio().defaultInput = "builtin-mic";
    SwitchEngine& e = make();

    EXPECT_TRUE(e.connected().empty());
    EXPECT_FALSE(e.defaultInputUID());
    EXPECT_FALSE(e.defaultOutputUID());
    EXPECT_EQ(audio().deviceListReads, 0);
    EXPECT_EQ(audio().listenCalls, 0);
    EXPECT_EQ(lid().startCalls, 0);
    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(parts.notifier.permissionRequests, 0);
    EXPECT_FALSE(std::filesystem::exists(parts.settingsFile));
    for (const Direction direction : allDirections) {
        EXPECT_TRUE(e.autoSwitch(direction));
        EXPECT_TRUE(e.notifyOnSwitch(direction));
    }
}

TEST_F(StartupTest, ConstructionLoadsStoredSettingsLidAndSound)
{
    StoredSettings stored;
    stored.inputPriority = {saved(usbMic()), saved(builtInMic())};
    stored.autoSwitchOutput = false;
    stored.notifyInputSwitch = false;
    stored.notifySound = true;
    storeSettings(stored);
    lid().report(true);

    SwitchEngine& e = make();

    EXPECT_EQ(e.settings(), stored);
    EXPECT_FALSE(e.autoSwitch(Direction::output));
    EXPECT_FALSE(e.notifyOnSwitch(Direction::input));
    EXPECT_TRUE(e.lidClosed());
    EXPECT_TRUE(parts.notifier.playSound());
    EXPECT_EQ(writes.count(), 0);
}

TEST_F(StartupTest, FirstRunPutsCurrentDefaultAtRankOneSavesOncePostsNothing)
{
    audio().add(builtInMic());
    audio().add(usbMic());
    audio().add(builtInSpeakers());
    audio().defaultInput = "usb-mic";
    audio().defaultOutput = "builtin-speakers";
    StoredSettings allNotices;
    allNotices.notifyDeviceChange = true;
    storeSettings(allNotices);

    SwitchEngine& e = start();

    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"usb-mic", "builtin-mic"}));
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"builtin-speakers"}));
    EXPECT_EQ(writes.count(), 1);
    EXPECT_EQ(fileSettings(), e.settings());
    EXPECT_TRUE(notices().empty());
    EXPECT_TRUE(audio().setCalls.empty()) << "the rule leaves the seeded default in place";
    EXPECT_EQ(e.defaultInputUID(), "usb-mic");
    EXPECT_EQ(e.defaultOutputUID(), "builtin-speakers");
}

TEST_F(StartupTest, FirstRunWithUnreadableDefaultKeepsSystemOrder)
{
    audio().add(builtInMic());
    audio().add(usbMic());
    audio().defaultInput = "usb-mic";
    audio().failDefaultReads = true;

    start();

    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"builtin-mic", "usb-mic"}));
    ASSERT_EQ(setCallsFor(Direction::input), 1u) << "an unreadable default counts as different";
    EXPECT_EQ(audio().setCalls.front().uid, "builtin-mic");
}

TEST_F(StartupTest, SeedsOnlyTheDirectionSeenForTheFirstTime)
{
    StoredSettings stored;
    stored.outputPriority = {saved(monitor()), saved(builtInSpeakers())};
    storeSettings(stored);
    audio().add(builtInSpeakers());
    audio().add(builtInMic());
    audio().add(usbMic());
    audio().add(monitor());
    audio().defaultInput = "usb-mic";
    audio().defaultOutput = "builtin-speakers";

    start();

    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"usb-mic", "builtin-mic"}));
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"hdmi-monitor", "builtin-speakers"}))
        << "an existing stack keeps its order";
    EXPECT_EQ(engine->defaultOutputUID(), "hdmi-monitor");
}

TEST_F(StartupTest, AggregateEntriesArePurgedAndTheFileRewrittenOnce)
{
    StoredSettings stored;
    stored.inputPriority = {{"CADefaultDeviceAggregate-1-2", "Aggregate"},
                            saved(usbMic()),
                            {"agg-named", "CADefaultDeviceAggregate-7"}};
    stored.outputPriority = {{"speakers-agg", "CADefaultDeviceAggregate-3"}, saved(builtInSpeakers()),
                             {"CADefaultDeviceAggregate-4", "Other"}, saved(monitor())};
    storeSettings(stored);
    audio().add(usbMic());
    audio().add(builtInSpeakers());
    audio().defaultInput = "usb-mic";
    audio().defaultOutput = "builtin-speakers";

    start();

    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"usb-mic"}));
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"builtin-speakers", "hdmi-monitor"}));
    EXPECT_EQ(writes.count(), 1);
    EXPECT_EQ(fileSettings(), engine->settings());

    audio().fireDeviceListChange();
    EXPECT_EQ(writes.count(), 1) << "the purge happens at start-up only";
}

TEST_F(StartupTest, FileWithoutAggregatesIsNotRewritten)
{
    StoredSettings stored;
    stored.inputPriority = {saved(usbMic()), saved(builtInMic())};
    stored.outputPriority = {saved(builtInSpeakers())};
    storeSettings(stored);
    const std::string before = readFile(parts.settingsFile);
    audio().add(builtInMic());
    audio().add(usbMic());
    audio().add(builtInSpeakers());
    audio().defaultInput = "usb-mic";
    audio().defaultOutput = "builtin-speakers";

    start();

    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(readFile(parts.settingsFile), before);
}

TEST_F(StartupTest, SecondStartDoesNothing)
{
    audio().add(builtInMic());
    audio().defaultInput = "builtin-mic";
    start();
    const int savesAfterFirst = writes.count();

    engine->start();

    EXPECT_EQ(audio().listenCalls, 1);
    EXPECT_EQ(lid().startCalls, 1);
    EXPECT_EQ(audio().deviceListReads, 1);
    EXPECT_EQ(parts.notifier.permissionRequests, 1);
    EXPECT_EQ(writes.count(), savesAfterFirst);

    audio().fireDeviceListChange();
    EXPECT_EQ(audio().deviceListReads, 2) << "one pass per event, not one per start()";
}

TEST_F(StartupTest, PermissionIsAskedOnlyWhenANoticeSwitchIsOn)
{
    StoredSettings silent;
    silent.notifyInputSwitch = false;
    silent.notifyOutputSwitch = false;
    silent.notifyDeviceChange = false;
    storeSettings(silent);
    start();
    EXPECT_EQ(parts.notifier.permissionRequests, 0);
}

TEST_F(StartupTest, DeviceNoticesAloneAskPermission)
{
    StoredSettings onlyDevices;
    onlyDevices.notifyInputSwitch = false;
    onlyDevices.notifyOutputSwitch = false;
    onlyDevices.notifyDeviceChange = true;
    storeSettings(onlyDevices);
    start();
    EXPECT_EQ(parts.notifier.permissionRequests, 1);
}

TEST_F(StartupTest, FirstScanSwitchesSilently)
{
    StoredSettings stored;
    stored.inputPriority = {saved(usbMic()), saved(builtInMic())};
    stored.notifyDeviceChange = true;
    storeSettings(stored);
    audio().add(builtInMic());
    audio().add(usbMic());
    audio().defaultInput = "builtin-mic";

    SwitchEngine& e = start();

    EXPECT_EQ(e.defaultInputUID(), "usb-mic");
    EXPECT_TRUE(notices().empty());

    audio().fireDeviceListChange();
    EXPECT_TRUE(notices().empty()) << "present devices are never announced later";
}

TEST_F(StartupTest, LidClosedBeforeStartIsTakenAtStart)
{
    StoredSettings stored;
    stored.inputPriority = {saved(builtInMic()), saved(usbMic())};
    storeSettings(stored);
    audio().add(builtInMic());
    audio().add(usbMic());
    audio().defaultInput = "builtin-mic";
    make();
    lid().report(true); // no callback is installed yet

    engine->start();

    EXPECT_TRUE(engine->lidClosed());
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
}

} // namespace
} // namespace vantorelle::test
