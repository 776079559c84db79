#pragma once

#include <QDBusConnection>
#include <QString>

namespace vantorelle {

// A private connection to the system or session bus, closed when the object goes away.
// Qt keeps its shared bus connections, failed ones included, for the life of the process; a
// private one lets a bus that was missing at first be tried again later.
class BusConnection {
public:
    explicit BusConnection(QDBusConnection::BusType type);
    ~BusConnection();

    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;
    BusConnection(BusConnection&&) = delete;
    BusConnection& operator=(BusConnection&&) = delete;

    bool isConnected() const { return connection_.isConnected(); }
    QDBusConnection& connection() noexcept { return connection_; }
    const QDBusConnection& connection() const noexcept { return connection_; }

private:
    QString name_;
    QDBusConnection connection_;
};

} // namespace vantorelle
