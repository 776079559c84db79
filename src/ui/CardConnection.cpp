#include "ui/CardConnection.h"

#include "model/BluetoothUID.h"
#include "services/BluetoothConnector.h"

namespace vantorelle {

std::unique_ptr<CardConnection> CardConnection::forDevice(BluetoothConnector* connector, const std::string& uid)
{
    if (connector == nullptr) return nullptr;
    const std::optional<std::string> address = bluetoothAddressOf(uid);
    if (!address) return nullptr;
    return std::make_unique<CardConnection>(*connector, QString::fromStdString(*address));
}

CardConnection::CardConnection(BluetoothConnector& connector, QString address)
    : connector_(&connector), address_(std::move(address))
{
    arrival_.setSingleShot(true);
    arrival_.setInterval(arrivalWaitMs);
    connect(&arrival_, &QTimer::timeout, this, &CardConnection::changed);
    failureShown_.setSingleShot(true);
    failureShown_.setInterval(failureShownMs);
    connect(&failureShown_, &QTimer::timeout, this, [this] {
        failure_.clear();
        emit changed();
    });
    connect(&connector, &BluetoothConnector::changed, this, &CardConnection::changed);
    connect(&connector, &BluetoothConnector::finished, this, &CardConnection::finished);
}

void CardConnection::setConnected(bool connected)
{
    connected_ = connected;
    if (connected) arrival_.stop();
}

bool CardConnection::canConnect() const
{
    return !connected_ && !isConnecting() && connector_ && connector_->canConnect(address_);
}

bool CardConnection::isConnecting() const
{
    if (connected_) return false;
    return arrival_.isActive() || (connector_ && connector_->isConnecting(address_));
}

void CardConnection::connectDevice()
{
    if (!canConnect()) return;
    failure_.clear();
    failureShown_.stop();
    connector_->connectDevice(address_);
}

void CardConnection::finished(const QString& address, const QString& failure)
{
    if (!BluetoothConnector::sameAddress(address, address_)) return;
    if (failure.isEmpty()) {
        if (!connected_) arrival_.start();
    } else {
        failure_ = failure;
        failureShown_.start();
    }
    emit changed();
}

} // namespace vantorelle
