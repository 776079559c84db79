#include "EngineTest.h"

namespace vantorelle::test {
namespace {

using namespace devices;

class RowsTest : public EngineTest {};

TEST_F(RowsTest, RowsJoinTheStackWithWhatIsConnected)
{
    StoredSettings stored;
    stored.inputPriority = {{"usb-mic", "Old USB Name"}, {"ext-mic", "External (stored)", "Desk mic", false},
                            saved(builtInMic()), {"usb-mic", "Older duplicate", "Mine"}};
    stored.autoSwitchInput = false;
    storeSettings(stored);
    AudioDevice renamed = usbMic();
    renamed.name = "USB Microphone v2";
    audio().add(builtInMic());
    audio().add(renamed);
    audio().add(headset()); // connected but removed from the stack below: no row
    audio().defaultInput = "builtin-mic";
    start();
    engine->remove("usb-headset", Direction::input);

    const std::vector<DeviceRow> rows = engine->rows(Direction::input);

    const std::vector<DeviceRow> expected = {
        {"usb-mic", "USB Microphone v2", true, false, false, false, DeviceKind::other, "USB Microphone v2", true, "", true, true},
        {"ext-mic", "Desk mic", false, false, false, false, DeviceKind::other, "External (stored)", false, "", false, false},
        {"builtin-mic", "Built-in Microphone", true, true, true, false, DeviceKind::other, "Built-in Microphone", true, "", true, true},
        // The user's name first, else the device's name, not the stored one.
        {"usb-mic", "Mine", true, false, false, false, DeviceKind::other, "USB Microphone v2", true, "", true, true},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(RowsTest, LidBlocksOnlyConnectedBuiltInInputs)
{
    StoredSettings stored;
    stored.inputPriority = {saved(builtInMic()), saved(usbMic()), {"old-builtin", "Gone"}};
    stored.outputPriority = {saved(builtInSpeakers())};
    storeSettings(stored);
    addBuiltInDefaults();
    start();
    lid().report(true);

    const std::vector<DeviceRow> input = engine->rows(Direction::input);
    ASSERT_EQ(input.size(), 3u);
    EXPECT_TRUE(input[0].lidBlocked);
    EXPECT_TRUE(input[0].isActive) << "a lid-blocked row stays active when nothing else is usable";
    EXPECT_FALSE(input[0].isUsable) << "nor can a choice by hand take it";
    EXPECT_FALSE(input[1].lidBlocked);
    EXPECT_FALSE(input[2].lidBlocked);

    const std::vector<DeviceRow> output = engine->rows(Direction::output);
    ASSERT_EQ(output.size(), 1u);
    EXPECT_TRUE(output[0].isBuiltIn);
    EXPECT_FALSE(output[0].lidBlocked);
    EXPECT_TRUE(output[0].isActive);
}

TEST_F(RowsTest, ActiveComparesUIDsOnly)
{
    StoredSettings stored;
    stored.inputPriority = {saved(builtInMic()), {"hidden-mic", "Hidden Microphone"}};
    stored.autoSwitchInput = false;
    storeSettings(stored);
    audio().add(builtInMic());
    audio().defaultInput = "hidden-mic"; // never listed, yet the system's default
    start();

    const std::vector<DeviceRow> rows = engine->rows(Direction::input);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(rows[0].isActive);
    EXPECT_FALSE(rows[1].isConnected);
    EXPECT_TRUE(rows[1].isActive);
}

TEST_F(RowsTest, NoDefaultMeansNoActiveRow)
{
    audio().add(builtInMic());
    audio().add(usbMic());
    StoredSettings stored;
    stored.autoSwitchInput = false;
    storeSettings(stored);
    start();
    for (const DeviceRow& row : engine->rows(Direction::input)) EXPECT_FALSE(row.isActive);
    EXPECT_TRUE(engine->rows(Direction::output).empty());
}

TEST_F(RowsTest, RepeatedUIDShowsTheEarlierDevice)
{
    audio().add(FakeAudioSystem::device(7, "usb-mic", "First Listing", true, false, false));
    audio().add(FakeAudioSystem::device(8, "usb-mic", "Second Listing", true, false, true));
    start();
    const std::vector<DeviceRow> rows = engine->rows(Direction::input);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "First Listing");
    EXPECT_FALSE(rows[0].isBuiltIn);
}

TEST_F(RowsTest, RowsChangeNothing)
{
    audio().add(builtInMic());
    audio().defaultInput = "builtin-mic";
    start();
    writes.reset();
    int events = 0;
    const auto subscription = engine->observe([&events](EngineField) { ++events; });
    (void)engine->rows(Direction::input);
    (void)engine->rows(Direction::output);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(writes.count(), 0);
}

} // namespace
} // namespace vantorelle::test
