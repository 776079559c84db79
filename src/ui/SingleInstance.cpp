#include "ui/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLockFile>
#include <QStandardPaths>

namespace vantorelle {

namespace {

constexpr int activationTimeoutMs = 3000;

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {}

SingleInstance::~SingleInstance()
{
    if (!owner_) return;
    bus_.unregisterObject(QString::fromLatin1(objectPath));
    bus_.unregisterService(QString::fromLatin1(serviceName));
}

bool SingleInstance::claim()
{
    if (owner_ || lock_) return true;
    if (!bus_.isConnected()) return claimLock();
    // The object first, so a second start that sees the name can always reach it.
    if (!bus_.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportAllSlots)) return claimLock();
    // Neither queued nor replaceable: the name belongs to the first process that asks.
    if (!bus_.registerService(QString::fromLatin1(serviceName))) {
        bus_.unregisterObject(QString::fromLatin1(objectPath));
        // Refused for another reason than an owner: nobody answers on the bus, so the lock decides.
        const QDBusConnectionInterface* names = bus_.interface();
        const bool owned = names != nullptr && names->isServiceRegistered(QString::fromLatin1(serviceName)).value();
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

bool SingleInstance::activateRunning() const
{
    if (!bus_.isConnected()) return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(serviceName), QString::fromLatin1(objectPath),
        QString::fromLatin1("org.vantorelle.Vantorelle"), QStringLiteral("Activate"));
    const QDBusMessage reply = bus_.call(call, QDBus::Block, activationTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::Activate()
{
    emit activationRequested();
}

} // namespace vantorelle
