#include "support/platform/DBusServices.h"

#include "support/platform/ChildProcess.h"
#include "support/platform/QtWait.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace vantorelle::test {

namespace {

using namespace std::chrono_literals;

constexpr int callTimeoutMs = 5000;
constexpr int processTimeoutMs = 5000;
constexpr auto busStartTimeout = 5s;
// Python with dbus bindings takes a while to start on a loaded machine.
constexpr auto mockStartTimeout = 20s;
constexpr auto ownerTimeout = 5s;

const QString mockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

// `serviceFolder`: where the bus finds services it starts on demand; none when empty.
QString busConfig(const QString& socketPath, const QString& serviceFolder)
{
    return QStringLiteral(
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:path=%1</listen>\n"
               "  <auth>EXTERNAL</auth>\n"
               "%2"
               "  <policy context=\"default\">\n"
               "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
               "    <allow eavesdrop=\"true\"/>\n"
               "    <allow own=\"*\"/>\n"
               "  </policy>\n"
               "</busconfig>\n")
        .arg(socketPath, serviceFolder.isEmpty() ? QString() : QStringLiteral("  <servicedir>%1</servicedir>\n").arg(serviceFolder));
}

std::unique_ptr<QProcess> childProcess()
{
    auto process = std::make_unique<QProcess>();
    diesWithTests(*process);
    return process;
}

bool isRegistered(const QDBusConnection& bus, const QString& name)
{
    if (!bus.isConnected()) return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(name);
    return reply.isValid() && reply.value();
}

QStringList toStringList(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QStringList>(value.value<QDBusArgument>());
    return value.toStringList();
}

QVariantMap toVariantMap(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

ReceivedNotice noticeFrom(const QVariantList& args)
{
    ReceivedNotice notice;
    if (args.size() != 8) return notice;
    notice.appName = args.at(0).toString();
    notice.replacesId = args.at(1).toUInt();
    notice.appIcon = args.at(2).toString();
    notice.summary = args.at(3).toString();
    notice.body = args.at(4).toString();
    notice.actions = toStringList(args.at(5));
    notice.hints = toVariantMap(args.at(6));
    notice.expireTimeout = args.at(7).toInt();
    return notice;
}

} // namespace

DBusServices::DBusServices()
{
    systemBus_.name = QStringLiteral("test-harness-system");
    systemBus_.socketPath = dir_.filePath(QStringLiteral("system_bus_socket"));
    systemBus_.configPath = dir_.filePath(QStringLiteral("system.conf"));
    sessionBus_.name = QStringLiteral("test-harness-session");
    sessionBus_.socketPath = dir_.filePath(QStringLiteral("session_bus_socket"));
    sessionBus_.configPath = dir_.filePath(QStringLiteral("session.conf"));
    sessionBus_.serviceFolder = dir_.filePath(QStringLiteral("session-services"));

    upower_.service = QStringLiteral("org.freedesktop.UPower");
    upower_.path = QStringLiteral("/org/freedesktop/UPower");
    upower_.templateName = QStringLiteral("upower");
    upower_.logPath = dir_.filePath(QStringLiteral("upower.log"));
    bluez_.service = QStringLiteral("org.bluez");
    bluez_.path = QStringLiteral("/");
    bluez_.templateName = QStringLiteral("bluez5");
    bluez_.logPath = dir_.filePath(QStringLiteral("bluez.log"));
    notifications_.service = QStringLiteral("org.freedesktop.Notifications");
    notifications_.path = QStringLiteral("/org/freedesktop/Notifications");
    notifications_.templateName = QStringLiteral("notification_daemon");
    notifications_.logPath = dir_.filePath(QStringLiteral("notifications.log"));

    if (!dir_.isValid() || !QDir(dir_.path()).mkpath(sessionBus_.serviceFolder)) return;
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + systemBus_.socketPath).toUtf8());
    qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + sessionBus_.socketPath).toUtf8());
    startSystemBus();
    startSessionBus();
}

DBusServices::~DBusServices()
{
    stopSystemBus();
    stopSessionBus();
}

bool DBusServices::isReady() const
{
    return systemBus_.daemon && sessionBus_.daemon && connection(systemBus_).isConnected()
        && connection(sessionBus_).isConnected();
}

QDBusConnection DBusServices::connection(const Bus& bus)
{
    return QDBusConnection(bus.name);
}

bool DBusServices::startBus(Bus& bus)
{
    if (bus.daemon) return true;
    QFile::remove(bus.socketPath);
    QFile config(bus.configPath);
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    config.write(busConfig(bus.socketPath, bus.serviceFolder).toUtf8());
    config.close();

    auto daemon = childProcess();
    daemon->setProgram(QStringLiteral("dbus-daemon"));
    daemon->setArguments({QStringLiteral("--config-file=") + bus.configPath,
                          QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    daemon->setStandardErrorFile(QProcess::nullDevice());
    daemon->start();
    if (!daemon->waitForStarted(processTimeoutMs)) return false;
    // The address is printed once the daemon listens.
    const QDeadlineTimer deadline(busStartTimeout);
    while (!daemon->canReadLine()) {
        if (deadline.hasExpired() || !daemon->waitForReadyRead(int(deadline.remainingTime()))) {
            endProcess(*daemon);
            return false;
        }
    }
    const QDBusConnection harness =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=") + bus.socketPath, bus.name);
    bus.daemon = std::move(daemon);
    return harness.isConnected();
}

void DBusServices::stopBus(Bus& bus)
{
    QDBusConnection::disconnectFromBus(bus.name);
    if (!bus.daemon) return;
    endProcess(*bus.daemon);
    bus.daemon.reset();
}

bool DBusServices::startSystemBus() { return startBus(systemBus_); }
bool DBusServices::startSessionBus() { return startBus(sessionBus_); }

void DBusServices::stopSystemBus()
{
    stopMock(systemBus_, upower_);
    stopMock(systemBus_, bluez_);
    stopBus(systemBus_);
}

void DBusServices::stopSessionBus()
{
    stopMock(sessionBus_, notifications_);
    stopBus(sessionBus_);
}

bool DBusServices::startMock(Bus& bus, Mock& mock, const QString& parameters)
{
    stopMock(bus, mock);
    const QDBusConnection harness = connection(bus);
    if (!harness.isConnected()) return false;

    QDBusServiceWatcher watcher(mock.service, harness, QDBusServiceWatcher::WatchForRegistration);
    bool registered = false;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &watcher,
                     [&registered] { registered = true; });
    // A round trip on the same connection: the watcher's subscription is in effect from here on.
    isRegistered(harness, mock.service);

    auto process = childProcess();
    process->setProgram(QStringLiteral("/usr/bin/python3"));
    process->setArguments({QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                           mock.templateName, QStringLiteral("-l"), mock.logPath,
                           QStringLiteral("-p"), parameters});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(mock.logPath + QStringLiteral(".stderr"));
    process->start();
    waitUntil([&] { return registered || process->state() == QProcess::NotRunning; },
              mockStartTimeout);
    mock.process = std::move(process);
    if (registered || isRegistered(harness, mock.service)) return true;
    stopMock(bus, mock);
    return false;
}

void DBusServices::stopMock(Bus& bus, Mock& mock)
{
    if (!mock.process) return;
    const QDBusConnection harness = connection(bus);
    if (!harness.isConnected()) {
        endProcess(*mock.process);
        mock.process.reset();
        return;
    }
    QDBusServiceWatcher watcher(mock.service, harness, QDBusServiceWatcher::WatchForUnregistration);
    bool unregistered = false;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &watcher,
                     [&unregistered] { unregistered = true; });
    const bool wasRegistered = isRegistered(harness, mock.service);
    endProcess(*mock.process);
    mock.process.reset();
    // Wait until the bus has let go of the name, so the next step sees the service gone.
    if (wasRegistered) waitUntil([&] { return unregistered; }, ownerTimeout);
}

bool DBusServices::startUpower(bool lidPresent, bool lidClosed)
{
    const QString parameters = QStringLiteral("{\"LidIsPresent\": %1, \"LidIsClosed\": %2}")
                                   .arg(lidPresent ? "true" : "false", lidClosed ? "true" : "false");
    if (!startMock(systemBus_, upower_, parameters)) return false;
    lidPresent_ = lidPresent;
    lidClosed_ = lidClosed;
    return true;
}

void DBusServices::stopUpower() { stopMock(systemBus_, upower_); }

bool DBusServices::isUpowerRunning() const { return upower_.process != nullptr; }

bool DBusServices::setLid(bool present, bool closed)
{
    QDBusMessage call = QDBusMessage::createMethodCall(upower_.service, upower_.path, mockInterface,
                                                       QStringLiteral("UpdateProperties"));
    const QVariantMap properties{{QStringLiteral("LidIsPresent"), present},
                                 {QStringLiteral("LidIsClosed"), closed}};
    call << QStringLiteral("org.freedesktop.UPower") << properties;
    const QDBusMessage reply = connection(systemBus_).call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) return false;
    lidPresent_ = present;
    lidClosed_ = closed;
    return true;
}

bool DBusServices::emitDuplicate() { return setLid(lidPresent_, lidClosed_); }

void DBusServices::suspendUpower(bool suspended)
{
    if (!upower_.process) return;
    ::kill(pid_t(upower_.process->processId()), suspended ? SIGSTOP : SIGCONT);
}

int DBusServices::matchRuleCount(const QStringList& fragments)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Debug.Stats"), QStringLiteral("GetAllMatchRules"));
    const QDBusMessage reply = connection(systemBus_).call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
    const QDBusArgument rulesByConnection = reply.arguments().at(0).value<QDBusArgument>();
    int count = 0;
    rulesByConnection.beginMap();
    while (!rulesByConnection.atEnd()) {
        QString owner;
        QStringList rules;
        rulesByConnection.beginMapEntry();
        rulesByConnection >> owner >> rules;
        rulesByConnection.endMapEntry();
        for (const QString& rule : rules) {
            const bool matches = std::all_of(fragments.begin(), fragments.end(),
                                             [&rule](const QString& part) { return rule.contains(part); });
            if (matches) ++count;
        }
    }
    rulesByConnection.endMap();
    return count;
}

bool DBusServices::startBluez() { return startMock(systemBus_, bluez_, QStringLiteral("{}")); }

void DBusServices::stopBluez() { stopMock(systemBus_, bluez_); }

bool DBusServices::callBluez(const QString& path, const QString& interface, const QString& method,
                             const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(bluez_.service, path, interface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = connection(systemBus_).call(call, QDBus::Block, callTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool DBusServices::startNotifications(const QString& capabilities)
{
    // Qt refuses a second identical signal connection, so a restart must drop the first one.
    stopNotifications();
    calls_.clear();
    const QString parameters =
        capabilities.isEmpty() ? QStringLiteral("{}") : QStringLiteral("{\"capabilities\": \"%1\"}").arg(capabilities);
    if (!startMock(sessionBus_, notifications_, parameters)) return false;
    QDBusConnection harness = connection(sessionBus_);
    const bool subscribed = harness.connect(notifications_.service, notifications_.path, mockInterface,
                                            QStringLiteral("MethodCalled"), this,
                                            SLOT(recordMethodCall(QString)));
    // A round trip: the subscription is in effect before any test calls the server.
    isRegistered(harness, notifications_.service);
    return subscribed;
}

void DBusServices::stopNotifications()
{
    QDBusConnection harness = connection(sessionBus_);
    if (harness.isConnected()) {
        harness.disconnect(notifications_.service, notifications_.path, mockInterface,
                           QStringLiteral("MethodCalled"), this, SLOT(recordMethodCall(QString)));
    }
    stopMock(sessionBus_, notifications_);
}

bool DBusServices::isNotificationsRunning() const { return notifications_.process != nullptr; }

void DBusServices::recordMethodCall(const QString& method) { ++calls_[method]; }

int DBusServices::callCount(const QString& method) const
{
    const auto found = calls_.find(method);
    return found == calls_.end() ? 0 : found->second;
}

bool DBusServices::waitForCalls(const QString& method, int count, std::chrono::milliseconds timeout)
{
    return waitUntil([&] { return callCount(method) >= count; }, timeout);
}

bool DBusServices::clearCalls()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        notifications_.service, notifications_.path, mockInterface, QStringLiteral("ClearCalls"));
    const QDBusMessage reply = connection(sessionBus_).call(call, QDBus::Block, callTimeoutMs);
    calls_.clear();
    return reply.type() == QDBusMessage::ReplyMessage;
}

std::vector<ReceivedNotice> DBusServices::notices()
{
    QDBusMessage call = QDBusMessage::createMethodCall(notifications_.service, notifications_.path,
                                                       mockInterface, QStringLiteral("GetMethodCalls"));
    call << QStringLiteral("Notify");
    const QDBusMessage reply = connection(sessionBus_).call(call, QDBus::Block, callTimeoutMs);
    std::vector<ReceivedNotice> notices;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return notices;
    const QDBusArgument calls = reply.arguments().at(0).value<QDBusArgument>();
    calls.beginArray();
    while (!calls.atEnd()) {
        qulonglong timestamp = 0;
        QVariantList args;
        calls.beginStructure();
        calls >> timestamp >> args;
        calls.endStructure();
        notices.push_back(noticeFrom(args));
    }
    calls.endArray();
    return notices;
}

namespace {

std::unique_ptr<DBusServices>& suiteServices()
{
    static std::unique_ptr<DBusServices> services;
    return services;
}

} // namespace

void DBusServicesEnvironment::SetUp()
{
    suiteServices() = std::make_unique<DBusServices>();
    ASSERT_TRUE(suiteServices()->isReady()) << "private D-Bus buses did not start";
}

void DBusServicesEnvironment::TearDown() { suiteServices().reset(); }

DBusServices& DBusServicesEnvironment::services() { return *suiteServices(); }

} // namespace vantorelle::test
