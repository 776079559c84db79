#include "services/LidMonitor.h"

#include "services/BusConnection.h"
#include "services/UpowerLidRead.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QMetaType>

#include <optional>

namespace vantorelle {

namespace {

constexpr QLatin1String upowerService("org.freedesktop.UPower");
constexpr QLatin1String upowerPath("/org/freedesktop/UPower");
constexpr QLatin1String upowerInterface("org.freedesktop.UPower");
constexpr QLatin1String propertiesInterface("org.freedesktop.DBus.Properties");
constexpr QLatin1String propertiesChanged("PropertiesChanged");
constexpr QLatin1String lidIsPresent("LidIsPresent");
constexpr QLatin1String lidIsClosed("LidIsClosed");

// UPower answers at once when it runs; the bound keeps a hung or slowly activated service from
// stalling the main thread.
constexpr int readTimeoutMs = 500;

bool isTrue(const QVariant& value)
{
    return value.metaType().id() == QMetaType::Bool && value.toBool();
}

// The lid state UPower reports, or nothing when it cannot be read.
std::optional<bool> queryLidClosed(const QDBusConnection& connection)
{
    QDBusMessage call = QDBusMessage::createMethodCall(upowerService, upowerPath,
                                                       propertiesInterface, QStringLiteral("GetAll"));
    call << QString(upowerInterface);
    const QDBusReply<QVariantMap> reply = connection.call(call, QDBus::Block, readTimeoutMs);
    if (!reply.isValid()) return std::nullopt;
    const QVariantMap& properties = reply.value();
    return isTrue(properties.value(lidIsPresent)) && isTrue(properties.value(lidIsClosed));
}

} // namespace

LidMonitor::LidMonitor()
    : isClosed_(readLidClosed())
{
}

LidMonitor::~LidMonitor()
{
    onChange_ = nullptr;
    ownerWatcher_.reset();
    if (bus_) {
        bus_->connection().disconnect(upowerService, upowerPath, propertiesInterface,
                                      propertiesChanged, this,
                                      SLOT(handlePropertiesChanged(QString,QVariantMap,QStringList)));
    }
}

bool LidMonitor::readLidClosed()
{
    return readUpowerLidClosed();
}

void LidMonitor::setOnChange(std::function<void(bool)> onChange)
{
    onChange_ = std::move(onChange);
}

void LidMonitor::start()
{
    if (bus_) return;
    auto bus = std::make_unique<BusConnection>(QDBusConnection::SystemBus);
    if (!bus->isConnected()) return;
    // Subscribing by the well-known name keeps the subscription when UPower restarts.
    if (!bus->connection().connect(upowerService, upowerPath, propertiesInterface,
                                   propertiesChanged, this,
                                   SLOT(handlePropertiesChanged(QString,QVariantMap,QStringList)))) {
        return;
    }
    ownerWatcher_ = std::make_unique<QDBusServiceWatcher>(
        upowerService, bus->connection(), QDBusServiceWatcher::WatchForOwnerChange);
    connect(ownerWatcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            &LidMonitor::handleOwnerChanged);
    bus_ = std::move(bus);
    // The state read at construction may be stale (UPower or the bus came up since). Read it
    // again from the event loop, so a change is reported like any other, not inside start().
    QMetaObject::invokeMethod(this, &LidMonitor::refresh, Qt::QueuedConnection);
}

void LidMonitor::handlePropertiesChanged(const QString& interface, const QVariantMap& changed,
                                         const QStringList& invalidated)
{
    if (interface != upowerInterface) return;
    const bool aboutLid = changed.contains(lidIsClosed) || changed.contains(lidIsPresent)
        || invalidated.contains(lidIsClosed) || invalidated.contains(lidIsPresent);
    if (aboutLid) refresh();
}

void LidMonitor::handleOwnerChanged(const QString&, const QString&, const QString& newOwner)
{
    // UPower going away says nothing about the lid: keep the last state until it is back.
    if (!newOwner.isEmpty()) refresh();
}

void LidMonitor::refresh()
{
    if (!bus_) return;
    if (const std::optional<bool> closed = queryLidClosed(bus_->connection())) apply(*closed);
}

void LidMonitor::apply(bool closed)
{
    if (closed == isClosed_) return;
    isClosed_ = closed;
    if (onChange_) {
        // A copy, so the owner may replace the callback from inside it.
        const std::function<void(bool)> onChange = onChange_;
        onChange(closed);
    }
}

} // namespace vantorelle
