#include "support/platform/PulseTestSupport.h"

#include "support/platform/QtWait.h"

#include <QTemporaryDir>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;

PulseAudioOptions quickOptions(std::optional<std::string> server = std::nullopt)
{
    PulseAudioOptions options;
    options.server = std::move(server);
    options.reconnectMinDelay = 20ms;
    options.reconnectMaxDelay = 200ms;
    return options;
}

void expectNoAnswer(PulseAudioSystem& system, const std::string& someUID)
{
    EXPECT_EQ(system.devices(), std::nullopt);
    EXPECT_EQ(system.defaults(), std::nullopt);
    EXPECT_FALSE(system.setDefault(Direction::output, someUID));
}

TEST(PulseWithoutServer, EverythingIsNeutralAndListeningStaysQuiet)
{
    const QTemporaryDir empty;
    const std::string nowhere = "unix:" + empty.path().toStdString() + "/native";
    const auto system = makeSystem(quickOptions(nowhere));
    CountingListener events;
    system->listen(events);
    expectNoAnswer(*system, "speakers");
    pumpEvents(100ms); // several failed reconnection attempts
    EXPECT_EQ(events.deviceListChanges + events.defaultChanges, 0);
}

TEST(PulseWithoutServer, TheUsualLookupFindsNothingEither)
{
    const QTemporaryDir empty;
    const QByteArray previous = qgetenv("PULSE_SERVER");
    const bool wasSet = qEnvironmentVariableIsSet("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + empty.path().toUtf8() + "/native");
    const auto system = makeSystem(quickOptions());
    pumpEvents(100ms);
    expectNoAnswer(*system, "microphone");
    if (wasSet) {
        qputenv("PULSE_SERVER", previous);
    } else {
        qunsetenv("PULSE_SERVER");
    }
}

using Outage = PulseDaemonSuite;

// A frozen server accepts connections and never answers. A backend that follows it keeps what
// it knew, answering at once; one that starts meanwhile knows nothing yet. Both follow the server
// once it answers again.
TEST_F(Outage, HungServerLeavesTheLastKnownStateAndRecovers)
{
    ASSERT_TRUE(daemon().addSink("steady_out"));
    const auto connected = makeReadySystem(quickOptions());
    const std::vector<AudioDevice> before = connectedDevices(*connected);
    ASSERT_EQ(before.size(), 1u);

    ASSERT_TRUE(daemon().pause());
    const auto late = makeSystem(quickOptions());
    pumpEvents(100ms);
    EXPECT_EQ(connectedDevices(*connected), before);
    expectNoAnswer(*late, before.front().uid);
    ASSERT_TRUE(daemon().resume());

    EXPECT_TRUE(waitUntil([&] { return connectedDevices(*late) == before; }));
    ASSERT_TRUE(daemon().addSink("later_out"));
    EXPECT_TRUE(waitUntil([&] { return connectedDevices(*connected).size() == 2; }));
    EXPECT_EQ(defaultUID(*connected, Direction::output), before.front().uid);
}

TEST_F(Outage, RestartedServerIsFoundAgainAndCountsAsADeviceListChange)
{
    ASSERT_TRUE(daemon().addSink("before_restart"));
    const auto system = makeSystem(quickOptions());
    CountingListener events;
    system->listen(events);
    int& listChanges = events.deviceListChanges;
    ASSERT_TRUE(waitUntil([&] { return system->isReady() && listChanges == 1; }));
    listChanges = 0;
    ASSERT_EQ(connectedDevices(*system).size(), 1u);

    ASSERT_TRUE(daemon().kill());
    EXPECT_TRUE(waitUntil([&] { return connectedDevices(*system).empty(); }));
    ASSERT_TRUE(daemon().restart());
    ASSERT_TRUE(waitUntil([&] { return listChanges >= 1 && system->isReady(); }));

    // Events flow again, and the query side has reconnected too.
    ASSERT_TRUE(daemon().addSink("after_restart"));
    ASSERT_TRUE(waitUntil([&listChanges] { return listChanges >= 2; }));
    const std::vector<AudioDevice> devices = connectedDevices(*system);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices.front().uid, "after_restart");
    // One connection, made again, serves everything: none is opened per change (on PipeWire, one
    // more reads its record of the defaults).
    const QString clients = daemon().pactl({"list", "short", "clients"}).value_or("");
    EXPECT_EQ(clients.count("test_pulse"), daemon().isPipeWire() ? 2 : 1) << clients.toStdString();
}

} // namespace
} // namespace vantorelle::test
