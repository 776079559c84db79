#include "ui/SingleInstance.h"

#include "services/InstanceBus.h"
#include "ui/EngineBusInterface.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QLockFile>
#include <QStandardPaths>

namespace vantorelle {

namespace {

constexpr int activationTimeoutMs = 3000;
constexpr const char* applicationInterface = "org.freedesktop.Application";
// Where launchers put the token in platform-data: Wayland's name and the X11 startup id.
constexpr const char* tokenKey = "activation-token";
constexpr const char* startupIdKey = "desktop-startup-id";

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), busInterface_(new EngineBusInterface(*this, bus_))
{
    new ApplicationInterface(*this);
    busInterface_->onActivate = [this] { emit activationRequested({}); };
}

SingleInstance::~SingleInstance()
{
    if (!owner_) return;
    bus_.unregisterObject(QString::fromLatin1(instanceBus::path));
    bus_.unregisterService(QString::fromLatin1(instanceBus::service));
}

bool SingleInstance::claim()
{
    if (owner_ || lock_) return true;
    if (!bus_.isConnected()) return claimLock();
    // The object first, so a second start that sees the name can always reach it.
    if (!bus_.registerObject(QString::fromLatin1(instanceBus::path), this, QDBusConnection::ExportAdaptors)) {
        return claimLock();
    }
    // Neither queued nor replaceable: the name belongs to the first process that asks.
    if (!bus_.registerService(QString::fromLatin1(instanceBus::service))) {
        bus_.unregisterObject(QString::fromLatin1(instanceBus::path));
        // Refused for another reason than an owner: nobody answers on the bus, so the lock decides.
        const QDBusConnectionInterface* names = bus_.interface();
        const bool owned = names != nullptr && names->isServiceRegistered(QString::fromLatin1(instanceBus::service)).value();
        return !owned && claimLock();
    }
    owner_ = true;
    return true;
}

bool SingleInstance::claimLock()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Nowhere to keep a lock: nothing can tell two processes apart, so this one runs.
    if (folder.isEmpty()) return true;
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/vantorelle.lock"));
    // Held for as long as its process lives, however long that is; a dead holder's lock is taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        return true;
    }
    // Only a live holder stops this start; a lock that cannot be written at all does not.
    return lock->error() != QLockFile::LockFailedError;
}

bool SingleInstance::activateRunning(const QString& activationToken) const
{
    if (!bus_.isConnected()) return false;
    const auto activate = [this](const char* interface) {
        return QDBusMessage::createMethodCall(QString::fromLatin1(instanceBus::service), QString::fromLatin1(instanceBus::path),
                                              QString::fromLatin1(interface), QStringLiteral("Activate"));
    };
    QVariantMap platformData;
    if (!activationToken.isEmpty()) {
        platformData.insert(QString::fromLatin1(tokenKey), activationToken);
        platformData.insert(QString::fromLatin1(startupIdKey), activationToken);
    }
    QDBusMessage reply = bus_.call(activate(applicationInterface) << platformData, QDBus::Block, activationTimeoutMs);
    // An instance started before an upgrade knows only its own call.
    const QDBusError::ErrorType error = QDBusError(reply).type();
    if (error == QDBusError::UnknownInterface || error == QDBusError::UnknownMethod) {
        reply = bus_.call(activate(instanceBus::interface), QDBus::Block, activationTimeoutMs);
    }
    return reply.type() == QDBusMessage::ReplyMessage;
}

QString SingleInstance::launchActivationToken()
{
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return token.isEmpty() ? qEnvironmentVariable("DESKTOP_STARTUP_ID") : token;
}

ApplicationInterface::ApplicationInterface(SingleInstance& instance) : QDBusAbstractAdaptor(&instance), instance_(instance)
{
}

void ApplicationInterface::Activate(const QVariantMap& platformData)
{
    QString token = platformData.value(QString::fromLatin1(tokenKey)).toString();
    if (token.isEmpty()) token = platformData.value(QString::fromLatin1(startupIdKey)).toString();
    emit instance_.activationRequested(token);
}

} // namespace vantorelle
