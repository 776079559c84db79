#include "services/BluezConnector.h"

#include "support/platform/DBusServices.h"
#include "support/platform/QtWait.h"

#include <QDBusObjectPath>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vantorelle {
namespace {

using test::DBusServices;
using test::DBusServicesEnvironment;
using test::waitUntil;

const QString headset = QStringLiteral("AA:BB:CC:DD:EE:01");
const QString mockInterface = QStringLiteral("org.bluez.Mock");
const QString devicePath = QStringLiteral("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_01");

// BlueZ without adapters; the connector watches it from the start.
class BluezConnectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(services.startSystemBus());
        ASSERT_TRUE(services.startBluez());
        QObject::connect(&connector, &BluetoothConnector::changed, [this] { ++changes; });
        QObject::connect(&connector, &BluetoothConnector::finished,
                         [this](const QString& address, const QString& failure) {
                             finished.emplace_back(address, failure);
                         });
        connector.start();
        ASSERT_TRUE(waitUntil([&] { return changes > 0; })) << "the first look at BlueZ";
    }

    // A powered adapter that remembers the headset (lower-case, as a UID may carry it).
    void addRememberedHeadset()
    {
        ASSERT_TRUE(services.callBluez("/", mockInterface, "AddAdapter", {"hci0", "Laptop"}));
        ASSERT_TRUE(services.callBluez("/", mockInterface, "AddDevice", {"hci0", headset, "Travel Headset"}));
        ASSERT_TRUE(waitUntil([&] { return connector.canConnect(headset.toLower()); }));
    }

    bool connectAndWait()
    {
        connector.connectDevice(headset);
        EXPECT_TRUE(connector.isConnecting(headset));
        connector.connectDevice(headset); // a second ask while one runs adds nothing
        return waitUntil([&] { return !finished.empty(); }, std::chrono::seconds(10));
    }

    DBusServices& services = DBusServicesEnvironment::services();
    BluezConnector connector;
    int changes = 0;
    std::vector<std::pair<QString, QString>> finished;
};

TEST_F(BluezConnectorTest, OffersToConnectOnlyWithAPoweredAdapterThatKnowsTheDevice)
{
    EXPECT_FALSE(connector.canConnect(headset)) << "no adapter";
    addRememberedHeadset();
    EXPECT_FALSE(connector.canConnect(QStringLiteral("AA:BB:CC:DD:EE:99")));

    ASSERT_TRUE(services.callBluez("/org/bluez/hci0", "org.freedesktop.DBus.Mock", "UpdateProperties",
                                   {"org.bluez.Adapter1", QVariantMap{{"Powered", false}}}));
    EXPECT_TRUE(waitUntil([&] { return !connector.canConnect(headset); })) << "adapter powered off";
    ASSERT_TRUE(services.callBluez("/org/bluez/hci0", "org.freedesktop.DBus.Mock", "UpdateProperties",
                                   {"org.bluez.Adapter1", QVariantMap{{"Powered", true}}}));
    EXPECT_TRUE(waitUntil([&] { return connector.canConnect(headset); }));

    services.stopBluez();
    EXPECT_TRUE(waitUntil([&] { return !connector.canConnect(headset); })) << "BlueZ gone";
}

// Connected (and connected already), then BlueZ's error for a device it cannot reach.
TEST_F(BluezConnectorTest, ConnectAsksTheDeviceWithThatAddressAndSaysWhyItFailed)
{
    addRememberedHeadset();
    ASSERT_TRUE(connectAndWait());
    finished.clear();
    ASSERT_TRUE(connectAndWait()) << "now BlueZ answers AlreadyConnected";
    EXPECT_FALSE(connector.isConnecting(headset));
    EXPECT_EQ(finished, (std::vector<std::pair<QString, QString>>{{headset, QString()}}));

    finished.clear();
    ASSERT_TRUE(services.callBluez(devicePath, "org.freedesktop.DBus.Mock", "AddMethod",
                                   {"org.bluez.Device1", "Connect", "", "",
                                    "raise dbus.exceptions.DBusException('br-connection-page-timeout', "
                                    "name='org.bluez.Error.Failed')"}));
    ASSERT_TRUE(connectAndWait());
    EXPECT_FALSE(connector.isConnecting(headset));
    EXPECT_EQ(finished, (std::vector<std::pair<QString, QString>>{
                            {headset, "Could not connect: the headset is off or out of range"}}));
    // An error without words of its own is said in BlueZ's.
    EXPECT_EQ(BluezConnector::failureReason("org.bluez.Error.NotAuthorized"), "Could not connect: not authorized");
}

} // namespace
} // namespace vantorelle
