#include "support/platform/PulseTestSupport.h"

#include "support/platform/QtWait.h"

#include <QCoreApplication>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;

// Long enough for any straggler of a burst to have been delivered as a second call.
constexpr auto quietPeriod = 200ms;

struct EventCounts {
    int deviceListChanges = 0;
    int defaultChanges = 0;
};

// A listening backend whose events count into a record that outlives it. Each device-list
// change takes a look, as every owner's pass does.
struct Listening final : AudioSystem::Listener {
    explicit Listening(PulseAudioOptions options = {})
        : counts(std::make_shared<EventCounts>())
        , system(makeSystem(std::move(options)))
    {
        system->listen(*this);
    }
    void deviceListChanged(bool) override
    {
        ++counts->deviceListChanges;
        system->devices();
    }
    void defaultChanged() override { ++counts->defaultChanges; }
    void streamsChanged() override {}

    std::shared_ptr<EventCounts> counts;
    std::unique_ptr<PulseAudioSystem> system;
};

class Listener : public PulseDaemonSuite {
protected:
    void SetUp() override
    {
        PulseDaemonSuite::SetUp();
        ASSERT_TRUE(daemon().addSink("resident_out"));
        ASSERT_TRUE(daemon().addSink("other_out"));
        ASSERT_TRUE(daemon().setDefaultSink("resident_out"));
        listening = std::make_unique<Listening>();
        ASSERT_TRUE(waitUntil([this] { return listening->system->isReady(); }));
        // Every connection starts with one look at the device list; the tests count from here.
        ASSERT_TRUE(waitUntil([this] { return counts().deviceListChanges == 1; }));
        pumpEvents(quietPeriod);
        ASSERT_EQ(counts().deviceListChanges, 1);
        counts() = {};
    }
    void TearDown() override
    {
        listening.reset();
        PulseDaemonSuite::TearDown();
    }
    EventCounts& counts() { return *listening->counts; }

    std::unique_ptr<Listening> listening;
};

TEST_F(Listener, PlugAndUnplugEachDeliverOneDeviceListChange)
{
    // One module brings a sink and its monitor source: two server events, one call.
    const auto module = daemon().addSink("plugged");
    ASSERT_TRUE(module);
    ASSERT_TRUE(waitUntil([this] { return counts().deviceListChanges >= 1; }));
    pumpEvents(quietPeriod);
    EXPECT_EQ(counts().deviceListChanges, 1);

    ASSERT_TRUE(daemon().unload(*module));
    ASSERT_TRUE(waitUntil([this] { return counts().deviceListChanges >= 2; }));
    pumpEvents(quietPeriod);
    EXPECT_EQ(counts().deviceListChanges, 2);
    EXPECT_EQ(counts().defaultChanges, 0);
}

TEST_F(Listener, VolumeChangeIsNotADeviceListChange)
{
    ASSERT_TRUE(daemon().setSinkVolume("resident_out", 30));
    pumpEvents(quietPeriod);
    // A later plug proves the volume event has been seen by then: it alone is counted.
    ASSERT_TRUE(daemon().addSink("marker"));
    ASSERT_TRUE(waitUntil([this] { return counts().deviceListChanges >= 1; }));
    pumpEvents(quietPeriod);
    EXPECT_EQ(counts().deviceListChanges, 1);
}

TEST_F(Listener, DefaultChangesOfEitherDirectionAreReportedOnce)
{
    ASSERT_TRUE(daemon().setDefaultSink("other_out"));
    ASSERT_TRUE(waitUntil([this] { return counts().defaultChanges >= 1; }));
    pumpEvents(quietPeriod);
    EXPECT_EQ(counts().defaultChanges, 1);

    // A default change that comes with a device-list change is folded into it: the owner reads
    // the defaults again in its pass, and still knows the default from before the event. (A
    // wide window here, so the two pactl calls surely fall into one.)
    PulseAudioOptions wide;
    wide.coalescingWindow = 1s;
    Listening folding(wide);
    ASSERT_TRUE(waitUntil([&] { return folding.system->isReady() && folding.counts->deviceListChanges == 1; }));
    *folding.counts = {};
    ASSERT_TRUE(daemon().addSource("new_in"));
    ASSERT_TRUE(daemon().setDefaultSource("new_in"));
    ASSERT_TRUE(waitUntil([&] { return folding.counts->deviceListChanges == 1; }));
    pumpEvents(quietPeriod);
    EXPECT_EQ(folding.counts->defaultChanges, 0);
    ASSERT_TRUE(daemon().setDefaultSource("resident_out.monitor"));
    ASSERT_TRUE(waitUntil([&] { return folding.counts->defaultChanges == 1; }));

    // Through the backend itself: reported like any other change.
    const auto system = makeReadySystem();
    const int before = counts().defaultChanges;
    ASSERT_TRUE(system->setDefault(Direction::output, "resident_out"));
    ASSERT_TRUE(waitUntil([&] { return counts().defaultChanges == before + 1; }));
}

TEST_F(Listener, NothingIsDeliveredAfterDestruction)
{
    ASSERT_TRUE(daemon().addSink("late"));
    ASSERT_TRUE(daemon().setDefaultSink("late"));
    const std::shared_ptr<EventCounts> survivor = listening->counts;
    const EventCounts before = *survivor;
    listening.reset();
    pumpEvents(quietPeriod);
    EXPECT_EQ(survivor->deviceListChanges, before.deviceListChanges);
    EXPECT_EQ(survivor->defaultChanges, before.defaultChanges);
}

} // namespace
} // namespace vantorelle::test
