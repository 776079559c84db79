#include "EngineTest.h"

namespace vantorelle::test {
namespace {

using namespace devices;

AudioStream stream(std::uint32_t id, Direction direction, std::string deviceUID, std::string role = "phone",
                   std::string application = "Meet", std::string program = "")
{
    return AudioStream{id, direction, std::move(application), "", std::move(role), std::move(deviceUID), std::move(program)};
}

// The built-in speakers and microphone are the defaults; the headset and the monitor are
// plugged. Calls stacks: headset, monitor, speakers for output; headset, built-in mic for input.
class CallsTest : public EngineTest {
protected:
    SwitchEngine& startWithCalls(bool routeOutput = true, bool routeInput = true)
    {
        StoredSettings stored;
        stored.inputPriority = {saved(builtInMic()), saved(headset())};
        stored.outputPriority = {saved(builtInSpeakers()), saved(headset()), saved(monitor())};
        stored.callsInputPriority = {saved(headset()), saved(builtInMic())};
        stored.callsOutputPriority = {saved(headset()), saved(monitor()), saved(builtInSpeakers())};
        stored.routeCallsOutput = routeOutput;
        stored.routeCallsInput = routeInput;
        storeSettings(stored);
        addBuiltInDefaults();
        audio().add(headset());
        audio().add(monitor());
        return start();
    }
    void streamStarts(AudioStream started)
    {
        audio().streamsPresent.push_back(std::move(started));
        audio().fireStreamsChange();
    }
    // Where the server says the stream is now, told as its change event would.
    void streamIsOn(std::uint32_t id, const std::string& uid)
    {
        for (AudioStream& each : audio().streamsPresent) {
            if (each.id == id) each.deviceUID = uid;
        }
        audio().fireStreamsChange();
    }
    std::vector<FakeAudioSystem::MoveCall> takeMoves() { return std::exchange(audio().moveCalls, {}); }
};

TEST_F(CallsTest, OnlyCallsGoToTheCallsStacksPick)
{
    startWithCalls();
    engine->setCallsApplication("Talk", true);
    const auto active = [this](StackKind kind) {
        for (const DeviceRow& row : engine->rows(Direction::output, kind)) {
            if (row.isActive) return row.uid;
        }
        return std::string();
    };
    EXPECT_EQ(active(StackKind::calls), "usb-headset") << "where calls go";
    EXPECT_EQ(active(StackKind::main), "builtin-speakers");
    const struct {
        const char* what;
        AudioStream stream;
        std::optional<std::string> movedTo;
    } cases[] = {
        {"phone role", stream(1, Direction::output, "builtin-speakers"), "usb-headset"},
        {"role in any case", stream(2, Direction::output, "builtin-speakers", "Communication"), "usb-headset"},
        {"recording call", stream(1, Direction::input, "builtin-mic"), "usb-headset"},
        {"music stays", stream(3, Direction::output, "builtin-speakers", "music"), std::nullopt},
        {"no role stays", stream(4, Direction::output, "builtin-speakers", ""), std::nullopt},
        {"calls program only playing", stream(5, Direction::output, "builtin-speakers", "", "Talk"), std::nullopt},
        {"on the pick already", stream(6, Direction::output, "usb-headset"), std::nullopt},
    };
    for (const auto& c : cases) {
        streamStarts(c.stream);
        const std::vector<FakeAudioSystem::MoveCall> moves = takeMoves();
        if (c.movedTo) EXPECT_EQ(moves, (std::vector<FakeAudioSystem::MoveCall>{{c.stream.id, *c.movedTo}})) << c.what;
        else EXPECT_TRUE(moves.empty()) << c.what;
    }
    // A listed program that records as well is in a call: all of its streams go.
    streamStarts(stream(10, Direction::input, "builtin-mic", "", "Talk"));
    EXPECT_EQ(takeMoves(), (std::vector<FakeAudioSystem::MoveCall>{{5, "usb-headset"}, {10, "usb-headset"}}));
    EXPECT_EQ(audio().defaultOutput, "builtin-speakers") << "the default never changes for a call";
    EXPECT_TRUE(audio().setCalls.empty());

    engine->setRouteCalls(false, Direction::input);
    takeMoves();
    streamStarts(stream(9, Direction::input, "builtin-mic"));
    EXPECT_TRUE(takeMoves().empty()) << "routing off moves nothing";
}

TEST_F(CallsTest, TheCallFollowsItsStackAndComesBackToTheDefault)
{
    startWithCalls();
    streamStarts(stream(7, Direction::output, "builtin-speakers"));
    streamStarts(stream(8, Direction::output, "builtin-speakers", "music"));
    takeMoves();

    // The headset goes: the server rescues the call to the default, the device list follows.
    // Between devices the stream is on none for a moment, more than once as PipeWire moves it.
    audio().holdMoves = true;
    unplug("usb-headset");
    for (const char* uid : {"", "builtin-speakers", "", "hdmi-monitor"}) streamIsOn(7, uid);
    EXPECT_EQ(takeMoves(), (std::vector<FakeAudioSystem::MoveCall>{{7, "hdmi-monitor"}})) << "next in the calls stack";
    audio().holdMoves = false;

    // The stack's order changes: the speakers (the default) come first; the call follows the default again.
    engine->move(Direction::output, {2}, 0, StackKind::calls);
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "builtin-speakers");
    engine->move(Direction::output, {0}, 3, StackKind::calls);
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "hdmi-monitor");
    EXPECT_EQ(engine->settings().priority(Direction::output).front().uid, "builtin-speakers") << "main stack untouched";

    // Routing off gives the call back to the default; the music was never touched.
    engine->setRouteCalls(false, Direction::output);
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "builtin-speakers");
    EXPECT_EQ(audio().streamsPresent[1].deviceUID, "builtin-speakers");
    EXPECT_FALSE(fileSettings().routeCallsOutput);
    for (const auto& move : takeMoves()) EXPECT_EQ(move.id, 7u);
}

TEST_F(CallsTest, RoutingTurnedOffWhileAMoveIsOnItsWayStillGivesTheCallBack)
{
    startWithCalls();
    audio().holdMoves = true;
    streamStarts(stream(7, Direction::output, "builtin-speakers"));
    engine->setRouteCalls(false, Direction::output);
    EXPECT_EQ(takeMoves(), (std::vector<FakeAudioSystem::MoveCall>{{7, "usb-headset"}, {7, "builtin-speakers"}}));
    audio().streamsPresent[0].deviceUID = "usb-headset";
    audio().fireStreamsChange();
    streamIsOn(7, "builtin-speakers");
    EXPECT_TRUE(takeMoves().empty()) << "the landing moves are routing's own";
}

TEST_F(CallsTest, ACallMovedByHandStaysWhereTheUserPutIt)
{
    startWithCalls();
    streamStarts(stream(7, Direction::output, "builtin-speakers"));
    ASSERT_EQ(audio().streamsPresent[0].deviceUID, "usb-headset");
    audio().fireStreamsChange();
    takeMoves();

    streamIsOn(7, "hdmi-monitor");
    unplug("builtin-speakers");
    engine->move(Direction::output, {1}, 0, StackKind::calls);
    lid().report(true);
    EXPECT_TRUE(takeMoves().empty());
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "hdmi-monitor");

    // A new call of the same application is routed again.
    streamStarts(stream(9, Direction::output, "builtin-speakers"));
    EXPECT_EQ(takeMoves(), (std::vector<FakeAudioSystem::MoveCall>{{9, "hdmi-monitor"}}));
}

TEST_F(CallsTest, ClosedLidAndNeverAutomaticPassOverEntries)
{
    StoredSettings stored;
    stored.callsInputPriority = {saved(builtInMic()), saved(headset()), saved(usbMic())};
    stored.routeCallsInput = true;
    storeSettings(stored);
    addBuiltInDefaults();
    audio().add(headset());
    audio().add(usbMic());
    lid().report(true);
    start();
    engine->setAutomatic("usb-headset", Direction::input, false, StackKind::calls);
    EXPECT_TRUE(engine->settings().priority(Direction::input).at(1).automatic) << "the main stack's entry keeps its own";

    streamStarts(stream(3, Direction::input, "builtin-mic"));
    EXPECT_EQ(takeMoves(), (std::vector<FakeAudioSystem::MoveCall>{{3, "usb-mic"}}));
}

TEST_F(CallsTest, TurningRoutingOnFillsTheCallsStackAndNewDevicesJoinIt)
{
    addBuiltInDefaults();
    start();
    plug(headset());
    EXPECT_TRUE(engine->settings().callsOutputPriority.empty());
    EXPECT_EQ(fileSettings().usesCalls(), false) << "nothing written for calls before they are used";

    engine->setRouteCalls(true, Direction::output);
    const auto uids = [this] {
        std::vector<std::string> result;
        for (const DeviceRow& row : engine->rows(Direction::output, StackKind::calls)) result.push_back(row.uid);
        return result;
    };
    EXPECT_EQ(uids(), stack(Direction::output));
    unplug("usb-headset");
    engine->remove("usb-headset", Direction::output, StackKind::calls);
    plug(monitor());
    EXPECT_EQ(uids(), (std::vector<std::string>{"builtin-speakers", "hdmi-monitor"}));
    EXPECT_EQ(fileSettings().callsOutputPriority.size(), 2u);
    EXPECT_EQ(stack(Direction::output), (std::vector<std::string>{"builtin-speakers", "usb-headset", "hdmi-monitor"}));
    EXPECT_TRUE(engine->settings().callsInputPriority.empty()) << "input routing was not turned on";

    engine->rename("hdmi-monitor", Direction::output, "Desk");
    EXPECT_EQ(engine->settings().callsOutputPriority.back().alias, "Desk");
    EXPECT_EQ(engine->settings().outputPriority.back().alias, "Desk");
}

TEST_F(CallsTest, ACallOffTheDefaultIsToldOncePerProgramAndDeviceOnceItIsThere)
{
    startWithCalls();
    FakeScheduler::Clock clock;
    engine->setScheduler(std::make_unique<FakeScheduler>(clock));
    using namespace std::chrono_literals;
    audio().holdMoves = true;
    streamStarts(stream(1, Direction::input, "builtin-mic"));
    streamStarts(stream(2, Direction::output, "builtin-speakers"));
    clock.advance(1s);
    EXPECT_TRUE(notices().empty()) << "nothing told before the server shows the call there";
    audio().landMoves();
    audio().fireStreamsChange();
    EXPECT_TRUE(notices().empty()) << "held a moment";
    // It closes and reopens its streams as the call starts: still one call.
    audio().streamsPresent.clear();
    audio().fireStreamsChange();
    clock.advance(1s);
    audio().holdMoves = false;
    streamStarts(stream(3, Direction::input, "builtin-mic"));
    audio().fireStreamsChange();
    clock.advance(1s);
    EXPECT_EQ(notices(), (std::vector<Notice>{{"Call audio", "USB Headset is used for this call"}}));

    // A stream that may not move is left alone and never told.
    audio().streamsPresent.clear();
    audio().fireStreamsChange();
    clock.advance(5s);
    notices().clear();
    takeMoves();
    AudioStream stuck = stream(4, Direction::input, "builtin-mic");
    stuck.movable = false;
    streamStarts(stuck);
    audio().fireStreamsChange();
    EXPECT_TRUE(takeMoves().empty());
    clock.advance(1s);
    EXPECT_TRUE(notices().empty());
    // One that becomes so (the server refused the move) is not tried again.
    audio().holdMoves = true;
    streamStarts(stream(5, Direction::output, "builtin-speakers"));
    EXPECT_EQ(takeMoves().size(), 1u);
    audio().streamsPresent.back().movable = false;
    audio().fireStreamsChange();
    audio().fireStreamsChange();
    EXPECT_TRUE(takeMoves().empty());
    clock.advance(1s);
    EXPECT_TRUE(notices().empty());

    // The calls end; the next one is told again, by its own name, unless switch notices are off.
    audio().holdMoves = false;
    audio().streamsPresent.clear();
    audio().fireStreamsChange();
    clock.advance(5s);
    engine->rename("usb-headset", Direction::input, "My Headset");
    engine->setNotifyOnSwitch(false, Direction::input);
    streamStarts(stream(6, Direction::input, "builtin-mic"));
    streamStarts(stream(7, Direction::output, "builtin-speakers"));
    audio().fireStreamsChange();
    clock.advance(1s);
    EXPECT_EQ(notices(), (std::vector<Notice>{{"Call audio", "My Headset is used for this call"}}));
}

TEST_F(CallsTest, ProgramsAreListedOnceAndMarkedOnesStay)
{
    StoredSettings stored;
    // As an earlier version stored them: names of streams.
    stored.callsApplications = {"Old Phone", "Chromium input"};
    storeSettings(stored);
    addBuiltInDefaults();
    audio().add(headset());
    start();
    int told = 0;
    const auto subscription = engine->observe([&told](EngineField field) {
        told += field == EngineField::recordingApplications;
    });
    audio().streamsPresent = {stream(1, Direction::input, "builtin-mic", "", "Chromium input", "chromium"),
                              stream(2, Direction::output, "builtin-speakers", "", "Chromium", "chromium"),
                              stream(3, Direction::input, "builtin-mic", "", "Recorder", "org.example.Recorder"),
                              stream(4, Direction::output, "builtin-speakers", "", "Player")};
    audio().streamsPresent[2].iconName = "audio-recorder";
    audio().fireStreamsChange();
    audio().fireStreamsChange();
    const auto listed = [this] {
        std::vector<std::pair<std::string, std::string>> result;
        for (const RecordingApplication& each : engine->recordingApplications()) result.emplace_back(each.caller, each.name);
        return result;
    };
    using Listed = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(listed(), (Listed{{"chromium", "Chromium"}, {"org.example.Recorder", "Recorder"}, {"Old Phone", "Old Phone"}}));
    EXPECT_EQ(engine->recordingApplications()[1].iconName, "audio-recorder");
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(engine->isCallsApplication("chromium")) << "by the name an earlier version stored";

    // Routing on: the whole program moves, capture and playback alike.
    engine->setRouteCalls(true, Direction::input);
    engine->setRouteCalls(true, Direction::output);
    engine->move(Direction::input, {1}, 0, StackKind::calls);
    engine->move(Direction::output, {1}, 0, StackKind::calls);
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "usb-headset");
    EXPECT_EQ(audio().streamsPresent[1].deviceUID, "usb-headset");
    EXPECT_EQ(audio().streamsPresent[2].deviceUID, "builtin-mic") << "recording alone is no call";

    // Unmarking gives its calls back and drops the old entry; any program that records and plays may count.
    engine->setCallsApplication("chromium", false);
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "builtin-mic");
    EXPECT_EQ(audio().streamsPresent[1].deviceUID, "builtin-speakers");
    EXPECT_EQ(fileSettings().callsApplications, (std::vector<std::string>{"Old Phone"}));
    engine->setCallsFromAnyProgram(true);
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "usb-headset");
    EXPECT_EQ(audio().streamsPresent[3].deviceUID, "builtin-speakers") << "a program only playing is no call";
    EXPECT_TRUE(fileSettings().callsFromAnyProgram);
    engine->setCallsApplication("chromium", true);
    EXPECT_EQ(fileSettings().callsApplications, (std::vector<std::string>{"Old Phone", "chromium"}));

    // Its call lasts while any of its streams is open, as it closes and reopens them.
    audio().streamsPresent.erase(audio().streamsPresent.begin());
    audio().fireStreamsChange();
    EXPECT_EQ(audio().streamsPresent[0].deviceUID, "usb-headset");
    audio().streamsPresent.erase(audio().streamsPresent.begin());
    audio().fireStreamsChange();
    streamStarts(stream(6, Direction::output, "builtin-speakers", "", "Chromium", "chromium"));
    EXPECT_EQ(audio().streamsPresent.back().deviceUID, "builtin-speakers") << "a new call only once it records too";
}

} // namespace
} // namespace vantorelle::test
