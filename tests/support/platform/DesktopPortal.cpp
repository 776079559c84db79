#include "support/platform/DesktopPortal.h"

#include "support/platform/QtWait.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDir>
#include <QFile>

#include <csignal>

namespace vantorelle::test {
namespace {

// The frontend, the backend it picks for XDG_CURRENT_DESKTOP=KDE and the daemon the backend
// registers shortcuts with; each is started by the bus from its installed service file.
const QStringList portalServices{QStringLiteral("org.freedesktop.portal.Desktop"),
                                 QStringLiteral("org.freedesktop.impl.portal.desktop.kde"),
                                 QStringLiteral("org.kde.kglobalaccel")};
const QString installedServices = QStringLiteral("/usr/share/dbus-1/services/");
const QString acceleratorService = QStringLiteral("org.kde.kglobalaccel");
constexpr int callTimeoutMs = 10000;

QDBusMessage busCall(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                          QStringLiteral("org.freedesktop.DBus"), method);
}

} // namespace

DesktopPortal::DesktopPortal(QString serviceFolder)
    : serviceFolder_(std::move(serviceFolder))
    , connectionName_(QStringLiteral("desktop-portal-harness"))
{
}

DesktopPortal::~DesktopPortal()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_);
    for (const QString& service : portalServices) {
        QFile::remove(QDir(serviceFolder_).filePath(service + QStringLiteral(".service")));
        if (!bus.isConnected()) continue;
        const QDBusReply<uint> pid = bus.interface()->servicePid(service);
        if (!pid.isValid() || pid.value() == 0) continue;
        ::kill(pid_t(pid.value()), SIGKILL);
        waitUntil([&] { return !bus.interface()->isServiceRegistered(service).value(); });
    }
    if (bus.isConnected()) bus.call(busCall(QStringLiteral("ReloadConfig")), QDBus::Block, callTimeoutMs);
    QDBusConnection::disconnectFromBus(connectionName_);
}

bool DesktopPortal::start()
{
    if (!home_.isValid()) return false;
    for (const QString& service : portalServices) {
        const QString file = service + QStringLiteral(".service");
        QFile::remove(QDir(serviceFolder_).filePath(file));
        if (!QFile::copy(installedServices + file, QDir(serviceFolder_).filePath(file))) return false;
    }
    const QDir home(home_.path());
    home.mkpath(QStringLiteral("run"));
    QFile::setPermissions(home.filePath(QStringLiteral("run")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_);
    // Services the bus starts take this environment: the desktop that picks KDE's backend, no
    // display, and a home of their own.
    QMap<QString, QString> environment{{QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE")},
                                       {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
                                       {QStringLiteral("HOME"), home.path()},
                                       {QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config"))},
                                       {QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data"))},
                                       {QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache"))},
                                       {QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run"))}};
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusMessage update = busCall(QStringLiteral("UpdateActivationEnvironment"));
    update << QVariant::fromValue(environment);
    return bus.call(update, QDBus::Block, callTimeoutMs).type() == QDBusMessage::ReplyMessage
        && bus.call(busCall(QStringLiteral("ReloadConfig")), QDBus::Block, callTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

QStringList DesktopPortal::components()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(acceleratorService, QStringLiteral("/kglobalaccel"),
                                                             QStringLiteral("org.kde.KGlobalAccel"), QStringLiteral("allComponents"));
    const QDBusReply<QList<QDBusObjectPath>> reply =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_).call(call, QDBus::Block, callTimeoutMs);
    QStringList paths;
    if (reply.isValid()) {
        for (const QDBusObjectPath& path : reply.value()) paths << path.path();
    }
    return paths;
}

QStringList DesktopPortal::shortcutNames(const QString& component)
{
    // Without a context: the default one, where the portal's backend puts them.
    const QDBusMessage call = QDBusMessage::createMethodCall(acceleratorService, component, QStringLiteral("org.kde.kglobalaccel.Component"),
                                                             QStringLiteral("shortcutNames"));
    const QDBusReply<QStringList> reply =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_).call(call, QDBus::Block, callTimeoutMs);
    return reply.isValid() ? reply.value() : QStringList();
}

bool DesktopPortal::press(const QString& component, const QString& shortcut)
{
    QDBusMessage call = QDBusMessage::createMethodCall(acceleratorService, component, QStringLiteral("org.kde.kglobalaccel.Component"),
                                                       QStringLiteral("invokeShortcut"));
    call << shortcut;
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_).call(call, QDBus::Block, callTimeoutMs).type()
        == QDBusMessage::ReplyMessage;
}

} // namespace vantorelle::test
