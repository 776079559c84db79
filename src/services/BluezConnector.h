#pragma once

#include "services/BluetoothConnector.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <set>
#include <vector>

class QDBusServiceWatcher;

namespace vantorelle {

class BusConnection;

// Connects remembered Bluetooth devices through BlueZ on the system bus. It keeps its own
// picture of BlueZ's adapters and devices (from the object manager, read again whenever an
// object comes or goes or an adapter's power changes), so the questions of a card are answered
// at once; the connection itself is one asynchronous Device1.Connect.
class BluezConnector final : public BluetoothConnector {
    Q_OBJECT
public:
    explicit BluezConnector(QObject* parent = nullptr);
    ~BluezConnector() override;

    // Watches BlueZ. Idempotent; when the system bus cannot be reached nothing is offered and a
    // later call tries again.
    void start();

    bool canConnect(const QString& address) const override;
    bool isConnecting(const QString& address) const override;
    void connectDevice(const QString& address) override;

    // The line a card shows for an error that Connect was answered with.
    static QString failureReason(const QString& errorName);

    // A headset that is off takes BlueZ a few seconds to give up on; this is far beyond that.
    static constexpr int connectTimeoutMs = 20000;

private Q_SLOTS:
    // QtDBus delivers bus signals only to named slots.
    void readObjects();
    void handlePropertiesChanged(const QString& interface, const QVariantMap& changed,
                                 const QStringList& invalidated);

private:
    struct KnownDevice {
        QString path;
        QString address;
        QString adapter;
    };

    void takeObjects(const QDBusMessage& reply);
    const KnownDevice* findUsable(const QString& address) const;

    std::unique_ptr<BusConnection> bus_;
    std::unique_ptr<QDBusServiceWatcher> ownerWatcher_;
    std::vector<KnownDevice> devices_;
    std::set<QString> poweredAdapters_;
    // Upper-case addresses whose Connect has not been answered.
    std::set<QString> connecting_;
    bool reading_ = false;
    bool readAgain_ = false;
};

} // namespace vantorelle
