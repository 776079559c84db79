#pragma once

#include "engine/LidSource.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

namespace vantorelle {

class BusConnection;

// The lid state from UPower on the system bus. Changes are taken from UPower's
// PropertiesChanged signal; the state itself is always read afresh from the service, without
// waiting on the owner's thread (the Qt main thread), and only real changes reach onChange there.
class LidMonitor final : public QObject, public LidSource {
    Q_OBJECT

public:
    // Reads the current state, so the monitor knows it before start(): the engine's first pass
    // needs it. This one read waits, up to upower::readTimeoutMs; every later one does not.
    LidMonitor();
    ~LidMonitor() override;

    LidMonitor(const LidMonitor&) = delete;
    LidMonitor& operator=(const LidMonitor&) = delete;

    bool isClosed() const override { return isClosed_; }
    void setOnChange(std::function<void(bool)> onChange) override;
    // Watches UPower's properties and its presence on the bus. Idempotent; when the system bus
    // cannot be reached the monitor stays unstarted and a later call tries again.
    void start() override;
    bool isWatching() const noexcept { return bus_ != nullptr; }

private Q_SLOTS:
    // QtDBus delivers bus signals only to named slots.
    void handlePropertiesChanged(const QString& interface, const QVariantMap& changed,
                                 const QStringList& invalidated);

private:
    // Asks UPower for the lid; the answer arrives later on the event loop, and an answer to an
    // earlier read still on its way is dropped.
    void refresh();
    void handleRead(QDBusPendingCallWatcher* read);
    void apply(bool closed);

    std::function<void(bool)> onChange_;
    bool isClosed_;
    std::unique_ptr<BusConnection> bus_;
    std::unique_ptr<QDBusServiceWatcher> ownerWatcher_;
    // The newest read on its way; reads are children of the monitor and delete themselves.
    const QDBusPendingCallWatcher* latestRead_ = nullptr;
};

} // namespace vantorelle
