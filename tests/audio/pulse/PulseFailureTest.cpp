#include "support/platform/PulseTestSupport.h"
#include "audio/pulse/PulseListener.h"

#include "support/platform/QtWait.h"

#include <QTemporaryDir>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;

PulseAudioOptions quickOptions(std::optional<std::string> server = std::nullopt)
{
    PulseAudioOptions options;
    options.server = std::move(server);
    // Kept small so a hung server costs little; a missing one must not need it at all.
    options.queryDeadline = 150ms;
    options.quietAfterTimeout = 0ms;
    options.reconnectMinDelay = 20ms;
    options.reconnectMaxDelay = 200ms;
    return options;
}

void expectNeutral(AudioDeviceManager& manager, AudioObjectID someId)
{
    EXPECT_TRUE(manager.connectedDevices().empty());
    EXPECT_EQ(manager.defaultDeviceID(Direction::output), std::nullopt);
    EXPECT_EQ(manager.defaultDeviceID(Direction::input), std::nullopt);
    EXPECT_FALSE(manager.setDefaultDevice(someId, Direction::output));
    EXPECT_EQ(manager.stringProperty(StringProperty::uid, someId), std::nullopt);
}

TEST(PulseWithoutServer, EverythingIsNeutralAndListeningStaysQuiet)
{
    const QTemporaryDir empty;
    const std::string nowhere = "unix:" + empty.path().toStdString() + "/native";
    const auto manager = makeManager(quickOptions(nowhere));
    int events = 0;
    manager->onDeviceListChange = [&events] { ++events; };
    manager->onDefaultChange = [&events] { ++events; };
    manager->startListening();
    expectNeutral(*manager, 1);
    pumpEvents(100ms); // several failed reconnection attempts
    EXPECT_EQ(events, 0);
}

TEST(PulseWithoutServer, TheUsualLookupFindsNothingEither)
{
    const QTemporaryDir empty;
    const QByteArray previous = qgetenv("PULSE_SERVER");
    const bool wasSet = qEnvironmentVariableIsSet("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + empty.path().toUtf8() + "/native");
    const auto manager = makeManager(quickOptions());
    expectNeutral(*manager, 0x80000001u);
    if (wasSet) {
        qputenv("PULSE_SERVER", previous);
    } else {
        qunsetenv("PULSE_SERVER");
    }
}

using Outage = PulseDaemonSuite;

// A frozen server accepts connections and never answers: every call gives up at its deadline,
// from a manager that has been used and from a new one alike, and recovers when the server does.
TEST_F(Outage, HungServerGivesNeutralResultsAndRecovery)
{
    ASSERT_TRUE(daemon().addSink("steady_out"));
    const auto connected = makeManager(quickOptions());
    const std::vector<AudioDevice> before = connected->connectedDevices();
    ASSERT_EQ(before.size(), 1u);

    ASSERT_TRUE(daemon().pause());
    expectNeutral(*connected, before.front().id);
    expectNeutral(*makeManager(quickOptions()), before.front().id);
    ASSERT_TRUE(daemon().resume());

    EXPECT_EQ(connected->connectedDevices(), before);
    EXPECT_EQ(connected->defaultDeviceID(Direction::output), before.front().id);
}

// After one call ran out of time the next ones give up at once for a while, so one event's
// handful of queries cannot each block for the whole deadline.
TEST_F(Outage, AfterATimeoutCallsFailAtOnceForAWhile)
{
    ASSERT_TRUE(daemon().addSink("steady_out"));
    PulseAudioOptions options = quickOptions();
    options.quietAfterTimeout = 60s;
    const auto manager = makeManager(options);
    ASSERT_EQ(manager->connectedDevices().size(), 1u);

    ASSERT_TRUE(daemon().pause());
    EXPECT_TRUE(manager->connectedDevices().empty());
    ASSERT_TRUE(daemon().resume());
    // The server answers again, but this manager does not ask it yet.
    EXPECT_TRUE(manager->connectedDevices().empty());
    EXPECT_EQ(makeManager(quickOptions())->connectedDevices().size(), 1u);
}

TEST_F(Outage, RestartedServerIsFoundAgainAndCountsAsADeviceListChange)
{
    ASSERT_TRUE(daemon().addSink("before_restart"));
    auto system = std::make_unique<PulseAudioSystem>(quickOptions(), pulse::PulseListener::factory());
    PulseAudioSystem& backend = *system;
    AudioDeviceManager manager(std::move(system));
    int listChanges = 0;
    manager.onDeviceListChange = [&listChanges] { ++listChanges; };
    manager.startListening();
    ASSERT_TRUE(waitUntil([&] { return backend.isListening() && listChanges == 1; }));
    listChanges = 0;
    ASSERT_EQ(manager.connectedDevices().size(), 1u);

    ASSERT_TRUE(daemon().kill());
    EXPECT_TRUE(manager.connectedDevices().empty());
    ASSERT_TRUE(daemon().restart());
    ASSERT_TRUE(waitUntil([&] { return listChanges >= 1 && backend.isListening(); }));

    // Events flow again, and the query side has reconnected too.
    ASSERT_TRUE(daemon().addSink("after_restart"));
    ASSERT_TRUE(waitUntil([&listChanges] { return listChanges >= 2; }));
    const std::vector<AudioDevice> devices = manager.connectedDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices.front().uid, "after_restart");
}

} // namespace
} // namespace vantorelle::test
