#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>

namespace vantorelle {

class BluetoothConnector;

// The Bluetooth side of one device card: whether "Connect" is offered, the wait while BlueZ
// connects and until the device's sound endpoint arrives, and the reason a connection failed,
// shown for a few seconds.
class CardConnection : public QObject {
    Q_OBJECT
public:
    // Null unless `uid` names a Bluetooth endpoint and there is a connector.
    static std::unique_ptr<CardConnection> forDevice(BluetoothConnector* connector, const std::string& uid);

    CardConnection(BluetoothConnector& connector, QString address);

    // The card's row says whether the device is connected; a connected one ends the wait.
    void setConnected(bool connected);
    // "Connect" is offered: not connected, not already waiting, and BlueZ can do it.
    bool canConnect() const;
    bool isConnecting() const;
    // One line while it is shown, empty otherwise.
    const QString& failure() const noexcept { return failure_; }
    void connectDevice();

    static constexpr int arrivalWaitMs = 10000;
    static constexpr int failureShownMs = 6000;

signals:
    void changed();

private:
    void finished(const QString& address, const QString& failure);

    QPointer<BluetoothConnector> connector_;
    QString address_;
    bool connected_ = false;
    // BlueZ has connected; the sound server has not shown the device yet.
    QTimer arrival_;
    QTimer failureShown_;
    QString failure_;
};

} // namespace vantorelle
