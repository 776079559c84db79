// Calls on a device of their own, with the engine on the real parts: the streams are pacat's, the
// moves the backend's, on the private PulseAudio or PipeWire server.
#include "RealEngineTest.h"

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

} // namespace
} // namespace vantorelle
