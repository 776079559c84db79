#include "services/LevelCapture.h"
#include "support/platform/PulseTestSupport.h"

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;

class Streams : public PulseDaemonSuite {
protected:
    void SetUp() override
    {
        PulseDaemonSuite::SetUp();
        ASSERT_TRUE(daemon().addSink("speakers_out"));
        ASSERT_TRUE(daemon().addSink("headset_out"));
        ASSERT_TRUE(daemon().addSource("headset_in"));
        ASSERT_TRUE(daemon().addSource("mic_in"));
        ASSERT_TRUE(daemon().setDefaultSink("speakers_out"));
        ASSERT_TRUE(daemon().setDefaultSource("mic_in"));
        system = makeReadySystem();
        system->listen(listener);
        ASSERT_TRUE(waitUntil([this] { return connectedDevices(*system).size() == 4; }));
    }
    void TearDown() override
    {
        system.reset();
        PulseDaemonSuite::TearDown();
    }

    CountingListener listener;
    std::unique_ptr<PulseAudioSystem> system;
};

TEST_F(Streams, StreamsAreTrackedWithTheirApplicationRoleAndDevice)
{
    // The level meter's own recording is never among them.
    bool recording = false;
    LevelCapture meter({.started = [&recording] { recording = true; }, .configurationChanged = {}, .buffer = {}});
    meter.open();
    ASSERT_TRUE(waitUntil([&recording] { return recording; }));
    {
        const TestStream call("Meet", "phone");
        const TestStream music("Player", "");
        const TestStream recorder("Recorder", "", Direction::input);
        // A monitor is no device of the lists: a stream on one is on none.
        const TestStream monitorRecorder("Monitor", "", Direction::input, "speakers_out.monitor");
        // A sandboxed program, known by its id, whose stream asks to stay where it is.
        const TestStream sandboxed("Talk", "", Direction::output, {},
                                   {"--property=application.flatpak.id=org.example.Talk",
                                    "--property=node.dont-reconnect=true"});
        ASSERT_TRUE(waitForStreamOn(*system, "Meet", "speakers_out"));
        ASSERT_TRUE(waitForStreamOn(*system, "Talk", "speakers_out"));
        EXPECT_EQ(findStream(*system, "Meet")->program, "pacat");
        EXPECT_TRUE(findStream(*system, "Meet")->movable);
        EXPECT_EQ(findStream(*system, "Talk")->program, "org.example.Talk");
        EXPECT_FALSE(findStream(*system, "Talk")->movable);
        ASSERT_TRUE(waitForStreamOn(*system, "Player", "speakers_out"));
        ASSERT_TRUE(waitForStreamOn(*system, "Recorder", "mic_in"));
        ASSERT_TRUE(waitForStreamOn(*system, "Monitor", ""));
        EXPECT_GE(listener.streamChanges, 1);
        EXPECT_EQ(findStream(*system, "Meet")->role, "phone");
        EXPECT_EQ(findStream(*system, "Meet")->direction, Direction::output);
        EXPECT_EQ(findStream(*system, "Recorder")->direction, Direction::input);
        EXPECT_EQ(system->streams().size(), 5u);
        // A second connection sees the same, from its first look.
        const auto later = makeReadySystem();
        ASSERT_TRUE(waitUntil([&] { return later->streams().size() == 5; }));
    }
    EXPECT_TRUE(waitUntil([this] { return system->streams().empty(); }));
}

TEST_F(Streams, AMoveShowsOnTheStreamAndUnknownTargetsAreRefused)
{
    const TestStream call("Meet", "phone");
    ASSERT_TRUE(waitForStreamOn(*system, "Meet", "speakers_out"));
    const AudioStream stream = *findStream(*system, "Meet");
    EXPECT_FALSE(system->moveStream(Direction::output, stream.id, "no_such_out"));
    EXPECT_FALSE(system->moveStream(Direction::output, stream.id + 1000, "headset_out"));
    ASSERT_TRUE(system->moveStream(Direction::output, stream.id, "headset_out"));
    EXPECT_TRUE(waitForStreamOn(*system, "Meet", "headset_out"));
    ASSERT_TRUE(system->moveStream(Direction::output, stream.id, "speakers_out"));
    EXPECT_TRUE(waitForStreamOn(*system, "Meet", "speakers_out"));
    // Moved to the default, it follows the default again.
    ASSERT_TRUE(daemon().setDefaultSink("headset_out"));
    EXPECT_TRUE(waitForStreamOn(*system, "Meet", "headset_out"));
}

// A move must not teach the server where the application's next stream of that kind goes: on
// PulseAudio module-stream-restore (loaded here, as desktops load it), on PipeWire WirePlumber's
// stream restore (on by default).
TEST_F(Streams, AMoveLeavesNoMemoryForTheNextStream)
{
    std::optional<std::uint32_t> restoreModule;
    if (!daemon().isPipeWire()) {
        restoreModule = daemon().loadModule("module-stream-restore", {"restore_device=true"});
        ASSERT_TRUE(restoreModule);
    }
    struct Case {
        Direction direction;
        std::string usual;
        std::string moveTo;
        QString volumeCommand;
    };
    for (const Case& each : {Case{Direction::output, "speakers_out", "headset_out", "set-sink-input-volume"},
                             Case{Direction::input, "mic_in", "headset_in", "set-source-output-volume"}}) {
        SCOPED_TRACE(std::string(rawValue(each.direction)));
        {
            const TestStream call("Meet", "phone", each.direction);
            ASSERT_TRUE(waitForStreamOn(*system, "Meet", each.usual));
            ASSERT_TRUE(system->moveStream(each.direction, findStream(*system, "Meet")->id, each.moveTo));
            ASSERT_TRUE(waitForStreamOn(*system, "Meet", each.moveTo));
            // A change of the stream while it is there (its volume, here) is no reason to remember either.
            const QString id = QString::number(findStream(*system, "Meet")->id);
            ASSERT_TRUE(daemon().pactl({each.volumeCommand, id, "80%"}));
            pumpEvents(200ms);
        }
        ASSERT_TRUE(waitUntil([this] { return system->streams().empty(); }));
        pumpEvents(200ms);
        for (const QString& role : {QString("phone"), QString()}) {
            const TestStream next("Meet", role, each.direction);
            ASSERT_TRUE(waitUntil([this] { return findStream(*system, "Meet").has_value(); }));
            // Where it starts, not where it may be moved later.
            pumpEvents(300ms);
            EXPECT_EQ(findStream(*system, "Meet")->deviceUID, each.usual) << "role " << role.toStdString();
        }
        ASSERT_TRUE(waitUntil([this] { return system->streams().empty(); }));
    }
    if (restoreModule) daemon().unload(*restoreModule);
}

} // namespace
} // namespace vantorelle::test
