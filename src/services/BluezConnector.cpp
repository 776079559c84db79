#include "services/BluezConnector.h"

#include "services/BusConnection.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QMap>

#include <algorithm>
#include <array>
#include <utility>

namespace vantorelle {

namespace {

constexpr QLatin1String bluezService("org.bluez");
constexpr QLatin1String objectManagerInterface("org.freedesktop.DBus.ObjectManager");
constexpr QLatin1String propertiesInterface("org.freedesktop.DBus.Properties");
constexpr QLatin1String adapterInterface("org.bluez.Adapter1");
constexpr QLatin1String deviceInterface("org.bluez.Device1");
constexpr QLatin1String powered("Powered");
constexpr QLatin1String alreadyConnected("org.bluez.Error.AlreadyConnected");

// BlueZ answers from memory; a slow answer only delays the menu item.
constexpr int readTimeoutMs = 5000;

QString key(const QString& address)
{
    return address.toUpper();
}

// "NotAuthorized" -> "not authorized"
QString words(const QString& camelCase)
{
    QString result;
    for (const QChar c : camelCase) {
        if (c.isUpper() && !result.isEmpty()) result += QLatin1Char(' ');
        result += c.toLower();
    }
    return result;
}

} // namespace

BluezConnector::BluezConnector(QObject* parent) : BluetoothConnector(parent) {}

// Pending calls are children of this object and end with it, unanswered.
BluezConnector::~BluezConnector() = default;

void BluezConnector::start()
{
    if (bus_) return;
    auto bus = std::make_unique<BusConnection>(QDBusConnection::SystemBus);
    if (!bus->isConnected()) return;
    QDBusConnection& connection = bus->connection();
    // By the well-known name, so the subscriptions hold when BlueZ restarts.
    const bool subscribed =
        connection.connect(bluezService, QStringLiteral("/"), objectManagerInterface,
                           QStringLiteral("InterfacesAdded"), this, SLOT(readObjects()))
        && connection.connect(bluezService, QStringLiteral("/"), objectManagerInterface,
                              QStringLiteral("InterfacesRemoved"), this, SLOT(readObjects()))
        && connection.connect(bluezService, QString(), propertiesInterface, QStringLiteral("PropertiesChanged"),
                              {adapterInterface}, QString(), this,
                              SLOT(handlePropertiesChanged(QString,QVariantMap,QStringList)));
    if (!subscribed) return;
    ownerWatcher_ = std::make_unique<QDBusServiceWatcher>(bluezService, connection,
                                                          QDBusServiceWatcher::WatchForOwnerChange);
    connect(ownerWatcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                // BlueZ gone: no answer, so nothing to offer.
                if (newOwner.isEmpty()) takeObjects(QDBusMessage());
                else readObjects();
            });
    bus_ = std::move(bus);
    readObjects();
}

void BluezConnector::handlePropertiesChanged(const QString& interface, const QVariantMap& changed,
                                             const QStringList& invalidated)
{
    if (interface != adapterInterface) return;
    if (changed.contains(powered) || invalidated.contains(powered)) readObjects();
}

void BluezConnector::readObjects()
{
    if (!bus_) return;
    // One read at a time; news during a read asks for one more after it.
    if (reading_) {
        readAgain_ = true;
        return;
    }
    reading_ = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(bluezService, QStringLiteral("/"),
                                                             objectManagerInterface,
                                                             QStringLiteral("GetManagedObjects"));
    auto* watcher = new QDBusPendingCallWatcher(bus_->connection().asyncCall(call, readTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        reading_ = false;
        takeObjects(done->reply());
        if (std::exchange(readAgain_, false)) readObjects();
    });
}

void BluezConnector::takeObjects(const QDBusMessage& reply)
{
    std::vector<KnownDevice> devices;
    std::set<QString> poweredAdapters;
    // Anything else (no BlueZ, an error, an answer of another shape) means nothing to offer.
    if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String("a{oa{sa{sv}}}")) {
        const QDBusArgument objects = reply.arguments().at(0).value<QDBusArgument>();
        objects.beginMap();
        while (!objects.atEnd()) {
            QDBusObjectPath path;
            QMap<QString, QVariantMap> interfaces;
            objects.beginMapEntry();
            objects >> path >> interfaces;
            objects.endMapEntry();
            const auto adapter = interfaces.constFind(adapterInterface);
            if (adapter != interfaces.constEnd() && adapter->value(powered).toBool()) {
                poweredAdapters.insert(path.path());
            }
            const auto device = interfaces.constFind(deviceInterface);
            if (device == interfaces.constEnd()) continue;
            QString owner = qvariant_cast<QDBusObjectPath>(device->value(QStringLiteral("Adapter"))).path();
            // Devices sit under their adapter's object.
            if (owner.isEmpty()) owner = path.path().section(QLatin1Char('/'), 0, -2);
            devices.push_back({path.path(), device->value(QStringLiteral("Address")).toString(), owner});
        }
        objects.endMap();
    }
    devices_ = std::move(devices);
    poweredAdapters_ = std::move(poweredAdapters);
    emit changed();
}

const BluezConnector::KnownDevice* BluezConnector::findUsable(const QString& address) const
{
    const auto found = std::ranges::find_if(devices_, [&](const KnownDevice& device) {
        return sameAddress(device.address, address) && poweredAdapters_.contains(device.adapter);
    });
    return found == devices_.end() ? nullptr : &*found;
}

bool BluezConnector::canConnect(const QString& address) const
{
    return findUsable(address) != nullptr;
}

bool BluezConnector::isConnecting(const QString& address) const
{
    return connecting_.contains(key(address));
}

void BluezConnector::connectDevice(const QString& address)
{
    if (isConnecting(address)) return;
    const KnownDevice* device = findUsable(address);
    if (!bus_ || device == nullptr) {
        emit finished(address, failureReason(QStringLiteral("org.bluez.Error.DoesNotExist")));
        return;
    }
    const QDBusMessage call =
        QDBusMessage::createMethodCall(bluezService, device->path, deviceInterface, QStringLiteral("Connect"));
    auto* watcher = new QDBusPendingCallWatcher(bus_->connection().asyncCall(call, connectTimeoutMs), this);
    connecting_.insert(key(address));
    emit changed();
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, address](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        connecting_.erase(key(address));
        const QDBusMessage reply = done->reply();
        // Connected already is what was asked for: its sound endpoints come as any plug does.
        const bool connected = reply.type() == QDBusMessage::ReplyMessage || reply.errorName() == alreadyConnected;
        emit changed();
        emit finished(address, connected ? QString() : failureReason(reply.errorName()));
    });
}

QString BluezConnector::failureReason(const QString& errorName)
{
    // Each reason is marked for translation once and translated when it is shown.
    constexpr const char* unreachable = QT_TRANSLATE_NOOP("vantorelle::BluezConnector", "the headset is off or out of range");
    constexpr const char* noSound = QT_TRANSLATE_NOOP("vantorelle::BluezConnector", "the headset offers no sound connection");
    constexpr const char* unknown = QT_TRANSLATE_NOOP("vantorelle::BluezConnector", "Bluetooth no longer knows this headset");
    constexpr const char* notRunning = QT_TRANSLATE_NOOP("vantorelle::BluezConnector", "Bluetooth is not running");
    static const std::array<std::pair<QLatin1String, const char*>, 12> known{{
        // A page timeout or "host is down": BlueZ could not reach the device at all.
        {QLatin1String("org.bluez.Error.Failed"), unreachable},
        {QLatin1String("org.freedesktop.DBus.Error.NoReply"), unreachable},
        {QLatin1String("org.freedesktop.DBus.Error.Timeout"), unreachable},
        {QLatin1String("org.bluez.Error.NotReady"), QT_TRANSLATE_NOOP("vantorelle::BluezConnector", "Bluetooth is not ready yet")},
        {QLatin1String("org.bluez.Error.InProgress"),
         QT_TRANSLATE_NOOP("vantorelle::BluezConnector", "the headset is already being connected")},
        {QLatin1String("org.bluez.Error.BREDR.ProfileUnavailable"), noSound},
        {QLatin1String("org.bluez.Error.NotAvailable"), noSound},
        {QLatin1String("org.bluez.Error.AuthenticationFailed"),
         QT_TRANSLATE_NOOP("vantorelle::BluezConnector", "the headset refused the connection")},
        {QLatin1String("org.bluez.Error.DoesNotExist"), unknown},
        {QLatin1String("org.freedesktop.DBus.Error.UnknownObject"), unknown},
        {QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"), notRunning},
        {QLatin1String("org.freedesktop.DBus.Error.Disconnected"), notRunning},
    }};
    const auto failed = [](const QString& reason) {
        //: Under a Bluetooth device's name; %1 is the reason, which starts in lower case.
        return QCoreApplication::translate("vantorelle::BluezConnector", "Could not connect: %1").arg(reason);
    };
    const auto reason = [](const char* text) { return QCoreApplication::translate("vantorelle::BluezConnector", text); };
    const auto found = std::ranges::find(known, errorName, [](const auto& entry) { return QString(entry.first); });
    if (found != known.end()) return failed(reason(found->second));
    const QString last = errorName.section(QLatin1Char('.'), -1);
    if (last.isEmpty()) return failed(reason(known[0].second));
    // An error BlueZ may add later: its own name, in words.
    return failed(words(last));
}

} // namespace vantorelle
