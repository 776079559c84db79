#include "services/LidMonitor.h"
#include "services/UpowerLidRead.h"

#include "support/platform/DBusServices.h"
#include "support/platform/QtWait.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <memory>
#include <vector>

namespace vantorelle {
namespace {

using namespace std::chrono_literals;
using test::DBusServices;
using test::DBusServicesEnvironment;
using test::waitUntil;

class LidMonitorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(services.startSystemBus());
        ASSERT_TRUE(services.startUpower(true, false));
    }

    // Starts the monitor and waits until the bus routes UPower's signals to it.
    void startWatching(LidMonitor& monitor)
    {
        monitor.start();
        ASSERT_TRUE(monitor.isWatching());
        ASSERT_TRUE(waitUntil([&] { return watchCount() >= 1; }));
    }

    int watchCount()
    {
        return services.matchRuleCount({QStringLiteral("PropertiesChanged"),
                                        QStringLiteral("/org/freedesktop/UPower")});
    }

    void record(LidMonitor& monitor)
    {
        monitor.setOnChange([this](bool closed) { changes.push_back(closed); });
    }

    bool waitForChanges(std::size_t count)
    {
        return waitUntil([&] { return changes.size() >= count; });
    }

    DBusServices& services = DBusServicesEnvironment::services();
    std::vector<bool> changes;
};

TEST_F(LidMonitorTest, ReadsTheLidFromUpower)
{
    ASSERT_TRUE(services.startUpower(true, true));
    EXPECT_TRUE(readUpowerLidClosed());
    EXPECT_TRUE(LidMonitor().isClosed());

    ASSERT_TRUE(services.setLid(true, false));
    EXPECT_FALSE(readUpowerLidClosed());
    EXPECT_FALSE(LidMonitor().isClosed());
}

TEST_F(LidMonitorTest, NoLidOrNoUpowerCountsAsOpen)
{
    // UPower may report LidIsClosed on a machine without a lid; only a present lid counts.
    ASSERT_TRUE(services.startUpower(false, true));
    EXPECT_FALSE(readUpowerLidClosed());
    EXPECT_FALSE(LidMonitor().isClosed());

    services.stopUpower();
    EXPECT_FALSE(readUpowerLidClosed());
    LidMonitor monitor;
    EXPECT_FALSE(monitor.isClosed());
    // Watching needs only the bus: UPower is picked up when it arrives.
    monitor.start();
    EXPECT_TRUE(monitor.isWatching());
}

TEST_F(LidMonitorTest, HungUpowerCountsAsOpenInsteadOfBlocking)
{
    ASSERT_TRUE(services.startUpower(true, true));
    services.suspendUpower(true);
    const bool closed = readUpowerLidClosed();
    services.suspendUpower(false);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(readUpowerLidClosed());
}

TEST_F(LidMonitorTest, HungUpowerLeavesTheEventLoopRunning)
{
    LidMonitor monitor;
    record(monitor);
    ASSERT_TRUE(services.setLid(true, true));
    services.suspendUpower(true);
    monitor.start();
    // The read start() queued goes out first; only the event loop wakes UPower, and a read that
    // waited on it would time out before.
    QTimer::singleShot(50ms, [this] { services.suspendUpower(false); });
    EXPECT_TRUE(waitForChanges(1));
    services.suspendUpower(false);
    EXPECT_EQ(changes, std::vector<bool>{true});
}

TEST_F(LidMonitorTest, WithoutLidChangesOfLidIsClosedAreNotReported)
{
    ASSERT_TRUE(services.startUpower(false, false));
    LidMonitor monitor;
    record(monitor);
    startWatching(monitor);

    ASSERT_TRUE(services.setLid(false, true));
    ASSERT_TRUE(services.setLid(false, false));
    ASSERT_TRUE(services.setLid(false, true));
    // A lid that appears closed is the first real change; signals arrive in order.
    ASSERT_TRUE(services.setLid(true, true));
    ASSERT_TRUE(waitForChanges(1));
    EXPECT_EQ(changes, std::vector<bool>{true});
}

TEST_F(LidMonitorTest, CloseThenOpenReportsEachOnce)
{
    LidMonitor monitor;
    record(monitor);
    startWatching(monitor);
    EXPECT_FALSE(monitor.isClosed());

    ASSERT_TRUE(services.setLid(true, true));
    ASSERT_TRUE(waitForChanges(1));
    EXPECT_TRUE(monitor.isClosed());
    ASSERT_TRUE(services.setLid(true, false));
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_FALSE(monitor.isClosed());
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST_F(LidMonitorTest, RepeatedReportsCallNothing)
{
    LidMonitor monitor;
    record(monitor);
    startWatching(monitor);

    // Each real change below also marks that every report before it has been handled.
    ASSERT_TRUE(services.emitDuplicate());
    ASSERT_TRUE(services.emitDuplicate());
    ASSERT_TRUE(services.setLid(true, true));
    ASSERT_TRUE(waitForChanges(1));
    ASSERT_TRUE(services.emitDuplicate());
    ASSERT_TRUE(services.emitDuplicate());
    ASSERT_TRUE(services.setLid(true, false));
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST_F(LidMonitorTest, WithoutCallbackAChangeStillUpdatesTheState)
{
    LidMonitor monitor;
    startWatching(monitor);
    ASSERT_TRUE(services.setLid(true, true));
    EXPECT_TRUE(waitUntil([&] { return monitor.isClosed(); }));
}

TEST_F(LidMonitorTest, SecondStartAddsNoSecondWatch)
{
    LidMonitor monitor;
    record(monitor);
    startWatching(monitor);
    monitor.start();
    EXPECT_TRUE(monitor.isWatching());
    EXPECT_EQ(watchCount(), 1);

    ASSERT_TRUE(services.setLid(true, true));
    ASSERT_TRUE(waitForChanges(1));
    EXPECT_EQ(changes, std::vector<bool>{true});
}

TEST_F(LidMonitorTest, StartWithoutSystemBusFailsAndTriesAgainLater)
{
    services.stopSystemBus();
    LidMonitor monitor;
    record(monitor);
    EXPECT_FALSE(monitor.isClosed());
    EXPECT_FALSE(readUpowerLidClosed());
    monitor.start();
    EXPECT_FALSE(monitor.isWatching());

    ASSERT_TRUE(services.startSystemBus());
    ASSERT_TRUE(services.startUpower(true, true));
    startWatching(monitor);
    // The state read while the bus was missing is corrected once watching.
    ASSERT_TRUE(waitForChanges(1));
    EXPECT_TRUE(monitor.isClosed());

    ASSERT_TRUE(services.setLid(true, false));
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST_F(LidMonitorTest, UpowerArrivingAfterStartIsPickedUp)
{
    services.stopUpower();
    LidMonitor monitor;
    record(monitor);
    startWatching(monitor);

    ASSERT_TRUE(services.startUpower(true, true));
    ASSERT_TRUE(waitForChanges(1));
    EXPECT_EQ(changes, std::vector<bool>{true});
}

TEST_F(LidMonitorTest, RecoversWhenUpowerRestarts)
{
    LidMonitor monitor;
    record(monitor);
    startWatching(monitor);
    ASSERT_TRUE(services.setLid(true, true));
    ASSERT_TRUE(waitForChanges(1));

    // A restart is not a lid change: the closed state holds while UPower is away and after it
    // comes back with the same lid.
    services.stopUpower();
    ASSERT_TRUE(services.startUpower(true, true));
    EXPECT_TRUE(monitor.isClosed());
    // Signals of the new UPower process reach the same watch.
    ASSERT_TRUE(services.setLid(true, false));
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));

    // A lid closed while UPower was away is reported when it returns.
    services.stopUpower();
    ASSERT_TRUE(services.startUpower(true, true));
    ASSERT_TRUE(waitForChanges(3));
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true}));
}

TEST_F(LidMonitorTest, NoCallbackAfterDestruction)
{
    int calls = 0;
    auto monitor = std::make_unique<LidMonitor>();
    monitor->setOnChange([&calls](bool) { ++calls; });
    startWatching(*monitor);
    // The signal is on its way but not yet handled when the monitor goes.
    ASSERT_TRUE(services.setLid(true, true));
    monitor.reset();
    test::pumpEvents(200ms);
    EXPECT_EQ(calls, 0);
}

} // namespace
} // namespace vantorelle
