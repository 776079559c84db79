#include "ui/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

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
    if (owner_) return true;
    if (!bus_.isConnected()) return true;
    // The object first, so a second start that sees the name can always reach it.
    if (!bus_.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportAllSlots)) return true;
    // Neither queued nor replaceable: the name belongs to the first process that asks.
    if (!bus_.registerService(QString::fromLatin1(serviceName))) {
        bus_.unregisterObject(QString::fromLatin1(objectPath));
        // Refused for another reason than an owner: nobody else runs, so this one does.
        const QDBusConnectionInterface* names = bus_.interface();
        return names == nullptr || !names->isServiceRegistered(QString::fromLatin1(serviceName)).value();
    }
    owner_ = true;
    return true;
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
