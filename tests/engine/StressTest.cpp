#include "EngineTest.h"

#include <random>
#include <unordered_set>

namespace vantorelle::test {
namespace {

using namespace devices;

// The device the rule demands for a direction, worked out from the published state alone.
std::optional<std::string> demandedDefault(const SwitchEngine& engine, Direction direction)
{
    for (const SavedDevice& entry : engine.settings().priority(direction)) {
        const auto device = std::ranges::find(engine.connected(), entry.uid, &AudioDevice::uid);
        if (device == engine.connected().end()) continue;
        if (!(direction == Direction::input ? device->isInput : device->isOutput)) continue;
        if (direction == Direction::input && device->isBuiltIn && engine.lidClosed()) continue;
        return entry.uid;
    }
    return std::nullopt;
}

std::vector<std::string> deviceNotices(const std::vector<Notice>& notices, std::size_t from,
                                       const std::string& title)
{
    std::vector<std::string> names;
    for (std::size_t i = from; i < notices.size(); ++i) {
        if (notices[i].title == title) names.push_back(notices[i].body);
    }
    return names;
}

class StressTest : public EngineTest {
protected:
    void expectRuleHolds(const std::string& when)
    {
        for (const Direction direction : allDirections) {
            const std::optional<std::string> demanded = demandedDefault(*engine, direction);
            if (!demanded) continue;
            EXPECT_EQ(engine->defaultUID(direction), demanded) << when;
            EXPECT_EQ(direction == Direction::input ? audio().defaultInput : audio().defaultOutput, demanded) << when;
        }
    }
};

TEST_F(StressTest, ThousandsOfStoredEntriesWithRepeatsAndGhostsSurviveEveryPass)
{
    StoredSettings stored;
    for (int i = 0; i < 5000; ++i) {
        stored.inputPriority.push_back({"ghost-in-" + std::to_string(i), "Ghost " + std::to_string(i)});
    }
    for (int i = 0; i < 3000; ++i) {
        stored.outputPriority.push_back({"ghost-out-" + std::to_string(i), "Gone " + std::to_string(i)});
    }
    auto at = [](std::vector<SavedDevice>& list, std::size_t position, SavedDevice entry) {
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), std::move(entry));
    };
    at(stored.inputPriority, 10, {"usb-mic", "Old USB Name"});
    at(stored.inputPriority, 2000, {"usb-mic", "Second Copy"});
    at(stored.inputPriority, 3000, saved(builtInMic()));
    at(stored.inputPriority, 4990, {"usb-mic", "Third Copy"});
    at(stored.outputPriority, 2500, saved(builtInSpeakers()));
    at(stored.outputPriority, 2999, saved(builtInSpeakers()));
    storeSettings(stored);
    addBuiltInDefaults();
    audio().add(usbMic());

    SwitchEngine& e = start();

    StoredSettings expected = stored;
    expected.inputPriority[10].name = "USB Microphone"; // only the first copy follows the device
    EXPECT_EQ(e.settings(), expected);
    EXPECT_EQ(e.defaultInputUID(), "usb-mic");
    EXPECT_EQ(e.defaultOutputUID(), "builtin-speakers");
    EXPECT_EQ(writes.count(), 1);

    for (int i = 0; i < 200; ++i) {
        if (i % 2 == 0) {
            audio().removeUID("usb-mic");
            audio().add(headset(static_cast<AudioObjectID>(100 + i)));
        } else {
            audio().removeUID("usb-headset");
            audio().add(usbMic(static_cast<AudioObjectID>(100 + i)));
        }
        audio().fireDeviceListChange();
        expectRuleHolds("event " + std::to_string(i));
    }

    expected.inputPriority.push_back(saved(headset()));
    expected.outputPriority.push_back(saved(headset()));
    EXPECT_EQ(e.settings(), expected);
    EXPECT_EQ(writes.count(), 2) << "only the rename and the headset's first arrival";
    EXPECT_EQ(fileSettings(), e.settings());
    EXPECT_EQ(audio().deviceListReads, 201);
}

TEST_F(StressTest, FloodOfPlugAndUnplugEventsEndsWhereTheRuleSays)
{
    const std::vector<AudioDevice> pool = {
        builtInMic(), builtInSpeakers(), usbMic(), headset(), externalMic(), monitor(),
        FakeAudioSystem::device(0, "dock", "Dock", true, true),
        FakeAudioSystem::device(0, "buds", "Wireless Buds", true, true),
        FakeAudioSystem::device(0, "interface", "Audio Interface", true, true),
        FakeAudioSystem::device(0, "webcam", "Webcam Microphone", true, false),
    };
    StoredSettings stored;
    stored.inputPriority = {saved(externalMic()), {"never-back-in", "Never Back"}, saved(builtInMic())};
    stored.outputPriority = {saved(monitor()), {"never-back-out", "Never Back"}};
    stored.notifyDeviceChange = true;
    storeSettings(stored);
    audio().echoDefaultChanges = true;
    addBuiltInDefaults();
    start();

    std::mt19937 random(20240611);
    AudioObjectID nextID = 100;
    int passes = 1;
    bool pending = false;
    // Every UID a stack held or a pass saw; none may go missing.
    std::unordered_set<std::string> seenIn{"ext-mic", "never-back-in", "builtin-mic"};
    std::unordered_set<std::string> seenOut{"hdmi-monitor", "never-back-out", "builtin-speakers"};

    for (int event = 0; event < 600; ++event) {
        const unsigned roll = random() % 100;
        if (roll < 8 && !pending) {
            lid().report(random() % 2 == 0);
            expectRuleHolds("lid at event " + std::to_string(event));
            continue;
        }
        const AudioDevice& device = pool[random() % pool.size()];
        if (std::ranges::find(audio().devicesPresent, device.uid, &AudioDevice::uid) != audio().devicesPresent.end()) {
            audio().removeUID(device.uid);
        } else {
            AudioDevice plugged = device;
            plugged.id = nextID++; // a new handle on every arrival
            audio().add(plugged);
        }
        pending = true;
        if (roll % 3 == 0 && event != 599) continue; // more changes join the same pass

        const std::vector<AudioDevice> before = engine->connected();
        const std::size_t noticesBefore = notices().size();
        audio().fireDeviceListChange();
        ++passes;
        pending = false;

        std::vector<std::string> arrived;
        std::vector<std::string> left;
        const std::vector<AudioDevice>& after = engine->connected();
        for (const AudioDevice& now : after) {
            if (std::ranges::find(before, now.uid, &AudioDevice::uid) == before.end()) {
                arrived.push_back(now.name);
            }
            if (now.isInput) seenIn.insert(now.uid);
            if (now.isOutput) seenOut.insert(now.uid);
        }
        for (const AudioDevice& old : before) {
            if (std::ranges::find(after, old.uid, &AudioDevice::uid) == after.end()) left.push_back(old.name);
        }
        const std::string when = "pass at event " + std::to_string(event);
        EXPECT_EQ(deviceNotices(notices(), noticesBefore, "Device connected"), arrived) << when;
        EXPECT_EQ(deviceNotices(notices(), noticesBefore, "Device removed"), left) << when;
        EXPECT_LE(deviceNotices(notices(), noticesBefore, "Input switched").size(), 1u) << when;
        EXPECT_LE(deviceNotices(notices(), noticesBefore, "Output switched").size(), 1u) << when;
        expectRuleHolds(when);
    }

    EXPECT_EQ(audio().deviceListReads, passes) << "setting a default never starts another pass";
    for (const Direction direction : allDirections) {
        std::unordered_set<std::string> inStack;
        for (const SavedDevice& entry : engine->settings().priority(direction)) {
            EXPECT_TRUE(inStack.insert(entry.uid).second) << "repeated " << entry.uid;
        }
        for (const std::string& uid : direction == Direction::input ? seenIn : seenOut) {
            EXPECT_TRUE(inStack.contains(uid)) << "lost " << uid;
        }
    }
    EXPECT_EQ(fileSettings(), engine->settings());
}

TEST_F(StressTest, HundredsOfChangesCoalescedIntoOnePass)
{
    StoredSettings stored;
    stored.inputPriority = {saved(usbMic()), saved(builtInMic())};
    stored.notifyDeviceChange = true;
    storeSettings(stored);
    addBuiltInDefaults();
    start();
    writes.reset();

    for (int i = 0; i < 300; ++i) {
        const std::string transient = "transient-" + std::to_string(i);
        audio().add(FakeAudioSystem::device(static_cast<AudioObjectID>(1000 + i), transient,
                                            "Transient " + std::to_string(i), true, true));
        if (i % 2 == 0) audio().add(usbMic(static_cast<AudioObjectID>(500 + i)));
        audio().removeUID(transient);
        if (i % 2 == 0 && i != 298) audio().removeUID("usb-mic");
    }
    audio().fireDeviceListChange();

    EXPECT_EQ(audio().deviceListReads, 2);
    EXPECT_EQ(notices(), (std::vector<Notice>{
                             {"Input switched", "USB Microphone connected — now active"},
                             {"Device connected", "USB Microphone"},
                         }));
    EXPECT_EQ(stack(Direction::input), (std::vector<std::string>{"usb-mic", "builtin-mic"}));
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"builtin-speakers"}));
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
    EXPECT_EQ(writes.count(), 0) << "no device that the pass saw was new";
}

} // namespace
} // namespace vantorelle::test
