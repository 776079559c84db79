#pragma once

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

namespace vantorelle::test {

// One Notify call as the mock notification server received it.
struct ReceivedNotice {
    QString appName;
    unsigned replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = 0;
};

// A private system bus and session bus (dbus-daemon) with python3-dbusmock's `upower`, `bluez5`
// and `notification_daemon` templates on them. Construction points DBUS_SYSTEM_BUS_ADDRESS and
// DBUS_SESSION_BUS_ADDRESS of this process at the private buses; libdbus reads those once, so
// build it before anything touches D-Bus, keep one per test binary (DBusServicesEnvironment),
// and note that every restart reuses the same socket path. Everything it started is stopped on
// destruction, and the children die with the test process even if it crashes.
class DBusServices final : public QObject {
    Q_OBJECT

public:
    DBusServices();
    ~DBusServices() override;

    DBusServices(const DBusServices&) = delete;
    DBusServices& operator=(const DBusServices&) = delete;

    // Both buses are running.
    bool isReady() const;

    bool startSystemBus();
    void stopSystemBus(); // stops UPower and BlueZ with it
    bool startSessionBus();
    void stopSessionBus(); // stops the notification server with it
    // The folder where the session bus looks for services to start on demand; empty at first.
    const QString& sessionServiceFolder() const { return sessionBus_.serviceFolder; }

    // UPower on the system bus with the given lid; replaces a running one.
    bool startUpower(bool lidPresent = true, bool lidClosed = false);
    void stopUpower();
    bool isUpowerRunning() const;
    // Changes the lid properties; UPower announces it with one PropertiesChanged.
    bool setLid(bool present, bool closed);
    // A PropertiesChanged that repeats the current lid state.
    bool emitDuplicate();
    // Stops (SIGSTOP) or resumes the UPower process: it keeps its name but answers nothing.
    void suspendUpower(bool suspended);
    // Match rules on the system bus, over all connections, whose text contains every fragment.
    int matchRuleCount(const QStringList& fragments);

    // BlueZ on the system bus, without adapters; replaces a running one.
    bool startBluez();
    void stopBluez();
    // Calls a method of a BlueZ object: org.bluez.Mock on "/" adds adapters and devices,
    // org.freedesktop.DBus.Mock on any object changes it. False when it was not answered.
    bool callBluez(const QString& path, const QString& interface, const QString& method,
                   const QVariantList& arguments);

    // The notification server on the session bus, with the capabilities it names (separated by
    // spaces; the template's usual ones, body-markup among them, when empty); replaces a running one.
    bool startNotifications(const QString& capabilities = {});
    void stopNotifications();
    bool isNotificationsRunning() const;
    // How often the notification server has been called with `method` since it started.
    int callCount(const QString& method) const;
    bool waitForCalls(const QString& method, int count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Forgets the calls received so far.
    bool clearCalls();
    // The Notify calls the server received, oldest first.
    std::vector<ReceivedNotice> notices();

private Q_SLOTS:
    void recordMethodCall(const QString& method);

private:
    struct Bus {
        QString name;          // connection name of the harness's own connection
        QString socketPath;
        QString configPath;
        QString serviceFolder; // none when empty
        std::unique_ptr<QProcess> daemon;
    };
    struct Mock {
        QString service;
        QString path;
        QString templateName;
        QString logPath;
        std::unique_ptr<QProcess> process;
    };

    bool startBus(Bus& bus);
    void stopBus(Bus& bus);
    bool startMock(Bus& bus, Mock& mock, const QString& parameters);
    void stopMock(Bus& bus, Mock& mock);
    static QDBusConnection connection(const Bus& bus);

    QTemporaryDir dir_;
    Bus systemBus_;
    Bus sessionBus_;
    Mock upower_;
    Mock bluez_;
    Mock notifications_;
    bool lidPresent_ = true;
    bool lidClosed_ = false;
    std::map<QString, int> calls_;
};

// One DBusServices for a whole test binary: the buses are up before the first test touches
// D-Bus and go down before the Qt application ends. Register it from a test file with
// ::testing::AddGlobalTestEnvironment(new DBusServicesEnvironment).
class DBusServicesEnvironment final : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
    static DBusServices& services();
};

} // namespace vantorelle::test
