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
#include <QFileInfo>

#include <csignal>

namespace vantorelle::test {
namespace {

// The frontend, the backend it picks for XDG_CURRENT_DESKTOP=KDE and the daemon the backend
// registers shortcuts with; each is started by the bus from its installed service file. Plasma 6
// (Debian 13) starts its accelerator daemon with the session instead, and installs no such file:
// the bus is given one naming the daemon.
const QStringList portalServices{QStringLiteral("org.freedesktop.portal.Desktop"),
                                 QStringLiteral("org.freedesktop.impl.portal.desktop.kde"),
                                 QStringLiteral("org.kde.kglobalaccel")};
const QString installedServices = QStringLiteral("/usr/share/dbus-1/services/");
const QString acceleratorService = QStringLiteral("org.kde.kglobalaccel");
const QStringList sessionAcceleratorDaemons{QStringLiteral("/usr/lib/x86_64-linux-gnu/libexec/kglobalacceld"),
                                            QStringLiteral("/usr/libexec/kglobalacceld")};

// Puts the service's file in `folder`: the installed one, else one for the session's daemon.
bool provideService(const QString& service, const QDir& folder)
{
    const QString file = service + QStringLiteral(".service");
    QFile::remove(folder.filePath(file));
    if (QFile::copy(installedServices + file, folder.filePath(file))) return true;
    if (service != acceleratorService) return false;
    for (const QString& daemon : sessionAcceleratorDaemons) {
        if (!QFileInfo(daemon).isExecutable()) continue;
        QFile written(folder.filePath(file));
        if (!written.open(QIODevice::WriteOnly)) return false;
        written.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n").arg(service, daemon).toUtf8());
        return true;
    }
    return false;
}
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
        if (!provideService(service, QDir(serviceFolder_))) return false;
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
