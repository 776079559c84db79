// Calls on a device of their own, with the engine on the real parts: the streams are pacat's, the
// moves the backend's, on the private PulseAudio or PipeWire server.
#include "RealEngineTest.h"

#include <filesystem>
#include <fstream>

namespace vantorelle {
namespace {

using namespace test;
using namespace std::chrono_literals;

class CallRoutingEndToEndTest : public RealEngineTest {
protected:
    void SetUp() override
    {
        RealEngineTest::SetUp();
        // As desktops have it: PulseAudio remembers streams' devices only with this module,
        // PipeWire's session manager always does.
        if (!daemon().isPipeWire()) {
            ASSERT_TRUE(daemon().loadModule("module-stream-restore", {"restore_device=true"}));
        }
        ASSERT_TRUE(daemon().addSink("speakers", speakers));
        ASSERT_TRUE(daemon().addSink("headphones", headphones));
        ASSERT_TRUE(daemon().setDefaultSink("speakers"));
        StoredSettings settings;
        settings.outputPriority = {{"speakers", "Laptop Speakers"}, {"headphones", "USB Headphones"}};
        settings.callsOutputPriority = {{"headset", "Headset"}, {"headphones", "USB Headphones"}};
        writeSettings(settings);
        startEngine(false);
        ASSERT_TRUE(waitForDefault(Direction::output, "speakers"));
        observer = makeReadySystem();
    }
    void TearDown() override
    {
        observer.reset();
        RealEngineTest::TearDown();
    }

    // Where a new stream of `application` starts, and stays for a while.
    std::string placeOfNext(const std::string& application)
    {
        if (!waitUntil([&] { return findStream(*observer, application).has_value(); })) return "(none)";
        pumpEvents(300ms);
        const std::optional<AudioStream> stream = findStream(*observer, application);
        return stream ? stream->deviceUID : "(gone)";
    }

    // The session manager's stored stream targets on PipeWire (the lines of its restore-stream
    // state that name one); empty on PulseAudio, whose memory the next call shows.
    std::string storedTargets() const
    {
        std::ifstream file(statePath());
        std::string result;
        for (std::string line; std::getline(file, line);) {
            if (line.find(":target=") != std::string::npos) result += line + "\n";
        }
        return result;
    }
    std::filesystem::path statePath() const
    {
        return std::filesystem::path(daemon().folder().toStdString()) / "state" / "wireplumber" / "restore-stream";
    }
    // The session manager writes its state a second after the last change: waits for a write
    // after `since`.
    bool stateWrittenAfter(std::filesystem::file_time_type since) const
    {
        if (!daemon().isPipeWire()) return true;
        return waitUntil([&] {
            std::error_code error;
            const auto written = std::filesystem::last_write_time(statePath(), error);
            return !error && written > since;
        }, std::chrono::seconds(5));
    }
    void waitForNoStreams() { ASSERT_TRUE(waitUntil([this] { return observer->streams().empty(); })); }

    std::unique_ptr<PulseAudioSystem> observer;
};

TEST_F(CallRoutingEndToEndTest, CallsGoToTheCallsStackAndNothingOfItRemains)
{
    const auto headset = daemon().addSink("headset", {{"device.description", "Headset"}, {"device.bus", "usb"}});
    ASSERT_TRUE(headset);
    engine->setRouteCalls(true, Direction::output);
    {
        const TestStream call("Meet", "phone");
        const TestStream music("Player", "");
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "headset"));
        EXPECT_EQ(placeOfNext("Player"), "speakers") << "other streams are never touched";
        EXPECT_EQ(engine->defaultUID(Direction::output), "speakers") << "a call changes no default";

        // The calls device goes mid-call: the next of the calls stack takes the call.
        ASSERT_TRUE(daemon().unload(*headset));
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "headphones"));

        // Routing off gives the call back to the default.
        engine->setRouteCalls(false, Direction::output);
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "speakers"));
    }
    ASSERT_TRUE(waitUntil([this] { return observer->streams().empty(); }));

    // Nothing of the moves remains: the application's next streams start on the default, and
    // with routing off nothing moves them.
    {
        const TestStream plain("Meet", "");
        EXPECT_EQ(placeOfNext("Meet"), "speakers");
    }
    ASSERT_TRUE(waitUntil([this] { return observer->streams().empty(); }));
    {
        const TestStream nextCall("Meet", "phone");
        EXPECT_EQ(placeOfNext("Meet"), "speakers");
    }
}

// A call already running when the program starts (at login), on the device the user once chose
// for calls by hand: routed as soon as the program can, told once, and the user's choice is what
// the server still keeps afterwards.
TEST_F(CallRoutingEndToEndTest, ACallRunningAtStartIsRoutedAndTheUsersOwnTargetStays)
{
    ASSERT_TRUE(daemon().addSink("headset", {{"device.description", "Headset"}, {"device.bus", "usb"}}));
    ASSERT_TRUE(daemon().addSink("dock", {{"device.description", "Dock"}, {"device.bus", "usb"}}));
    engine.reset();
    {
        const TestStream call("Meet", "phone");
        ASSERT_TRUE(waitForStreamOn(*observer, "Meet", "speakers"));
        const auto since = std::filesystem::file_time_type::clock::now();
        ASSERT_TRUE(daemon().pactl({"move-sink-input", QString::number(findStream(*observer, "Meet")->id), "dock"}));
        ASSERT_TRUE(waitForStreamOn(*observer, "Meet", "dock"));
        ASSERT_TRUE(stateWrittenAfter(since));
    }
    waitForNoStreams();
    const std::string usersOwn = storedTargets();
    if (daemon().isPipeWire()) {
        EXPECT_NE(usersOwn.find("target=dock"), std::string::npos) << usersOwn;
    }

    StoredSettings settings = savedSettings();
    settings.routeCallsOutput = true;
    writeSettings(settings);
    {
        const TestStream call("Meet", "phone");
        ASSERT_TRUE(waitForStreamOn(*observer, "Meet", "dock")) << "the server gives the call the user's device";
        startEngine(false);
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "headset"));
        const auto landed = std::filesystem::file_time_type::clock::now();
        EXPECT_TRUE(waitForOutput("Headset is used for this call"));
        EXPECT_TRUE(stateWrittenAfter(landed));
        EXPECT_EQ(storedTargets(), usersOwn) << "mid-call";

        // A stream that may not move stays where it is, untold.
        const TestStream stuck("Recorder", "phone", Direction::output, {}, {"--property=node.dont-reconnect=true"});
        EXPECT_EQ(placeOfNext("Recorder"), "dock");
    }
    waitForNoStreams();
    EXPECT_EQ(storedTargets(), usersOwn) << "after the call";
    engine.reset();
    {
        const TestStream next("Meet", "phone");
        EXPECT_EQ(placeOfNext("Meet"), "dock") << "the next call, with the program stopped";
    }
    const std::string told = out.str();
    EXPECT_EQ(told.find("used for this call"), told.rfind("used for this call")) << "told once: " << told;
}

} // namespace
} // namespace vantorelle
