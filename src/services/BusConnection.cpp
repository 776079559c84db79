#include "services/BusConnection.h"

#include <QUuid>

namespace vantorelle {

namespace {

QString uniqueConnectionName()
{
    return QStringLiteral("vantorelle-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

BusConnection::BusConnection(QDBusConnection::BusType type)
    : name_(uniqueConnectionName())
    , connection_(QDBusConnection::connectToBus(type, name_))
{
}

BusConnection::~BusConnection()
{
    QDBusConnection::disconnectFromBus(name_);
}

} // namespace vantorelle
