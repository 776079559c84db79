#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>

namespace vantorelle {

// What a device card needs of Bluetooth: whether a remembered headset can be asked to connect,
// and asking it. Every answer comes later, on the owner's thread; nothing here waits for a
// service, so a card can ask while it builds its menu.
class BluetoothConnector : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Bluetooth runs with a powered adapter that knows a device with this address.
    virtual bool canConnect(const QString& address) const = 0;
    // A connection asked for by connectDevice() has not been answered yet.
    virtual bool isConnecting(const QString& address) const = 0;
    // Asks for the connection; `finished` tells how it ended. Does nothing while one runs for
    // the same address.
    virtual void connectDevice(const QString& address) = 0;

    static bool sameAddress(const QString& a, const QString& b);

signals:
    // canConnect() or isConnecting() may answer differently now.
    void changed();
    // A connection ended: `failure` is empty when it was made, otherwise one line for the user.
    void finished(const QString& address, const QString& failure);
};

} // namespace vantorelle
