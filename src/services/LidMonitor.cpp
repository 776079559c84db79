#include "services/LidMonitor.h"

#include "services/BusConnection.h"
#include "services/LogCategories.h"
#include "services/UpowerLidRead.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QMetaType>

#include <cstddef>
#include <optional>

namespace vantorelle {

namespace {

// By the array's length: QLatin1String's pointer constructor is no constant expression under
// the sanitizers.
template <std::size_t size>
constexpr QLatin1String latin1(const char (&text)[size])
{
    return QLatin1String(text, size - 1);
}

constexpr QLatin1String upowerService = latin1(upower::service);
constexpr QLatin1String upowerPath = latin1(upower::path);
constexpr QLatin1String upowerInterface = latin1(upower::interface);
constexpr QLatin1String propertiesInterface = latin1(upower::propertiesInterface);
constexpr QLatin1String propertiesChanged("PropertiesChanged");
constexpr QLatin1String lidIsPresent = latin1(upower::lidIsPresent);
constexpr QLatin1String lidIsClosed = latin1(upower::lidIsClosed);

std::optional<bool> boolIn(const QVariantMap& properties, QLatin1String name)
{
    const QVariant value = properties.value(name);
    if (value.metaType().id() != QMetaType::Bool) return std::nullopt;
    return value.toBool();
}

} // namespace

LidMonitor::LidMonitor()
    : isClosed_(readUpowerLidClosed())
{
}

LidMonitor::~LidMonitor()
{
    onChange_ = nullptr;
    ownerWatcher_.reset();
    // Reads on their way go before the connection they were sent on.
    qDeleteAll(findChildren<QDBusPendingCallWatcher*>(Qt::FindDirectChildrenOnly));
    if (bus_) {
        bus_->connection().disconnect(upowerService, upowerPath, propertiesInterface,
                                      propertiesChanged, this,
                                      SLOT(handlePropertiesChanged(QString,QVariantMap,QStringList)));
    }
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
            [this](const QString&, const QString&, const QString& newOwner) {
                // UPower going away says nothing about the lid: keep the last state until it is back.
                if (!newOwner.isEmpty()) refresh();
            });
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

void LidMonitor::refresh()
{
    if (!bus_) return;
    QDBusMessage call = QDBusMessage::createMethodCall(upowerService, upowerPath, propertiesInterface,
                                                       latin1(upower::getAll));
    call << QString(upowerInterface);
    auto* const read = new QDBusPendingCallWatcher(bus_->connection().asyncCall(call, upower::readTimeoutMs), this);
    latestRead_ = read;
    connect(read, &QDBusPendingCallWatcher::finished, this, &LidMonitor::handleRead);
}

void LidMonitor::handleRead(QDBusPendingCallWatcher* read)
{
    read->deleteLater();
    if (read != latestRead_) return;
    latestRead_ = nullptr;
    // A failed read says nothing about the lid: the last state holds.
    const QDBusPendingReply<QVariantMap> reply = *read;
    if (reply.isError()) return;
    const QVariantMap properties = reply.value();
    apply(upower::lidCountsAsClosed(boolIn(properties, lidIsPresent), boolIn(properties, lidIsClosed)));
}

void LidMonitor::apply(bool closed)
{
    if (closed == isClosed_) return;
    isClosed_ = closed;
    qCDebug(lidLog) << "UPower reports the lid" << (closed ? "closed" : "open");
    if (onChange_) {
        // A copy, so the owner may replace the callback from inside it.
        const std::function<void(bool)> onChange = onChange_;
        onChange(closed);
    }
}

} // namespace vantorelle
