#include "EngineTest.h"

namespace vantorelle::test {
namespace {

using namespace devices;

// Input stack built-in microphone, USB microphone; output stack built-in speakers, headset.
class LidTest : public EngineTest {
protected:
    void SetUp() override
    {
        StoredSettings stored;
        stored.inputPriority = {saved(builtInMic()), saved(usbMic())};
        stored.outputPriority = {saved(builtInSpeakers()), saved(headset())};
        storeSettings(stored);
        addBuiltInDefaults();
    }
};

TEST_F(LidTest, ClosingMovesInputOffTheBuiltInMicrophoneAndOpeningBringsItBack)
{
    audio().add(usbMic());
    SwitchEngine& e = start();
    ASSERT_EQ(e.defaultInputUID(), "builtin-mic");

    lid().report(true);
    EXPECT_TRUE(e.lidClosed());
    EXPECT_EQ(e.defaultInputUID(), "usb-mic");

    lid().report(false);
    EXPECT_FALSE(e.lidClosed());
    EXPECT_EQ(e.defaultInputUID(), "builtin-mic");
}

TEST_F(LidTest, ClosingWithNoOtherInputKeepsTheBuiltInMicrophoneSilently)
{
    SwitchEngine& e = start();
    lid().report(true);
    EXPECT_TRUE(e.lidClosed());
    EXPECT_EQ(e.defaultInputUID(), "builtin-mic");
    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_TRUE(notices().empty());
}

TEST_F(LidTest, LidNeverTouchesOutput)
{
    audio().add(headset());
    SwitchEngine& e = start();
    audio().defaultOutput = "usb-headset";
    audio().fireDefaultChange(); // the user picked the headset for output
    audio().setCalls.clear();

    lid().report(true);
    lid().report(false);

    EXPECT_EQ(setCallsFor(Direction::output), 0u);
    EXPECT_EQ(e.defaultOutputUID(), "usb-headset");
    for (const Notice& notice : notices()) EXPECT_NE(notice.title, "Output switched");
}

TEST_F(LidTest, RepeatedReportOfTheSameStateDoesNothing)
{
    audio().add(usbMic());
    SwitchEngine& e = start();
    audio().defaultInput = "usb-mic"; // chosen by hand; a rule run would take it back
    audio().fireDefaultChange();
    int lidEvents = 0;
    const auto subscription = e.observe([&lidEvents](EngineField field) {
        if (field == EngineField::lidClosed) ++lidEvents;
    });

    lid().deliver(false);

    EXPECT_EQ(lidEvents, 0);
    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(e.defaultInputUID(), "usb-mic");
    EXPECT_TRUE(notices().empty());
}

TEST_F(LidTest, WithAutoSwitchOffTheLidIsRecordedButNothingSwitches)
{
    audio().add(usbMic());
    SwitchEngine& e = start();
    e.setAutoSwitch(false, Direction::input);

    lid().report(true);

    EXPECT_TRUE(e.lidClosed());
    EXPECT_EQ(e.defaultInputUID(), "builtin-mic");
    EXPECT_TRUE(audio().setCalls.empty());
    const std::vector<DeviceRow> rows = e.rows(Direction::input);
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(rows[0].lidBlocked);
}

TEST_F(LidTest, LidChangeRunsNoDevicePass)
{
    audio().add(usbMic());
    start();
    const int passes = audio().deviceListReads;
    lid().report(true);
    lid().report(false);
    EXPECT_EQ(audio().deviceListReads, passes);
}

} // namespace
} // namespace vantorelle::test
