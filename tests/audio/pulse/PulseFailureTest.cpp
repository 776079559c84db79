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
    const auto manager = makeManager(quickOptions(nowhere), false);
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
    const auto manager = makeManager(quickOptions(), false);
    pumpEvents(100ms);
    expectNeutral(*manager, 0x80000001u);
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
    const auto connected = makeManager(quickOptions());
    const std::vector<AudioDevice> before = connected->connectedDevices();
    ASSERT_EQ(before.size(), 1u);

    ASSERT_TRUE(daemon().pause());
    const auto late = makeManager(quickOptions(), false);
    pumpEvents(100ms);
    EXPECT_EQ(connected->connectedDevices(), before);
    expectNeutral(*late, before.front().id);
    ASSERT_TRUE(daemon().resume());

    EXPECT_TRUE(waitUntil([&] { return late->connectedDevices() == before; }));
    ASSERT_TRUE(daemon().addSink("later_out"));
    EXPECT_TRUE(waitUntil([&] { return connected->connectedDevices().size() == 2; }));
    EXPECT_EQ(connected->defaultDeviceID(Direction::output), before.front().id);
}

TEST_F(Outage, RestartedServerIsFoundAgainAndCountsAsADeviceListChange)
{
    ASSERT_TRUE(daemon().addSink("before_restart"));
    auto system = makeSystem(quickOptions());
    PulseAudioSystem& backend = *system;
    AudioDeviceManager manager(std::move(system));
    int listChanges = 0;
    manager.onDeviceListChange = [&listChanges] { ++listChanges; };
    manager.startListening();
    ASSERT_TRUE(waitUntil([&] { return backend.isAnswering() && listChanges == 1; }));
    listChanges = 0;
    ASSERT_EQ(manager.connectedDevices().size(), 1u);

    ASSERT_TRUE(daemon().kill());
    EXPECT_TRUE(waitUntil([&] { return manager.connectedDevices().empty(); }));
    ASSERT_TRUE(daemon().restart());
    ASSERT_TRUE(waitUntil([&] { return listChanges >= 1 && backend.isAnswering(); }));

    // Events flow again, and the query side has reconnected too.
    ASSERT_TRUE(daemon().addSink("after_restart"));
    ASSERT_TRUE(waitUntil([&listChanges] { return listChanges >= 2; }));
    const std::vector<AudioDevice> devices = manager.connectedDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices.front().uid, "after_restart");
    // One connection, made again, serves everything: none is opened per change (on PipeWire, one
    // more reads its record of the defaults).
    const QString clients = daemon().pactl({"list", "short", "clients"}).value_or("");
    EXPECT_EQ(clients.count("test_pulse"), daemon().isPipeWire() ? 2 : 1) << clients.toStdString();
}

} // namespace
} // namespace vantorelle::test
