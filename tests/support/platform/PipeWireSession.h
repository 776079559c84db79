#pragma once

#include <QProcess>
#include <QString>

#include <memory>
#include <optional>

namespace vantorelle::test {

// A private PipeWire sound server for tests: pipewire, wireplumber and pipewire-pulse under their
// own session bus, runtime folder and state, all inside `folder`. The pulse socket is
// <folder>/runtime/pulse/native. The bus outlives restarts of the server, as a desktop session's
// does; every process dies with the test process even if it crashes.
class PipeWireSession {
public:
    explicit PipeWireSession(QString folder);
    ~PipeWireSession();
    PipeWireSession(const PipeWireSession&) = delete;
    PipeWireSession& operator=(const PipeWireSession&) = delete;

    // Whether the three programs are installed.
    static bool isInstalled();

    // Starts the bus (first time only) and the three server processes; true once they run. The
    // caller waits for the pulse socket to answer.
    bool start();
    // Ends the server processes (and the bus with stopBus).
    void stop();
    void stopBus();
    // SIGKILL of the three server processes, as a crash of the whole server would be.
    bool kill();

    QString server() const;
    // The path of PipeWire's own socket, for libpipewire clients.
    QString coreSocket() const;
    // Freezes (SIGSTOP) or thaws the session manager, which answers every bind of its records.
    bool freezeSessionManager(bool frozen);
    // The process that serves the pulse protocol.
    std::optional<qint64> pulseProcessId() const;
    // All three server processes run.
    bool isAlive() const;
    // Waits up to `waitMs` for the pulse server to end; whether any server process has ended.
    bool waitForExit(int waitMs);

    // A Bluetooth headset as WirePlumber 0.4 makes one: a card that stays while a profile change
    // removes the nodes of one profile and makes those of the next, named as its bluez monitor
    // names them (bluez_output.<address>.1, and bluez_input.<address>.0 for the headset profile).
    // The card and nodes belong to an interactive pw-cli and go with it.
    enum class BluetoothProfile { off, a2dp, headsetHeadUnit };
    bool addBluetoothCard(const QString& address, const QString& description);
    // Removes the current profile's nodes and makes the new one's, at once; off makes none.
    bool setBluetoothProfile(BluetoothProfile profile);
    // A disconnect: the nodes go, then the card.
    bool removeBluetoothCard();

private:
    bool startBus();
    QProcessEnvironment environment() const;
    std::unique_ptr<QProcess> launch(const QString& logName);
    bool sendToCli(const QString& line);
    std::optional<QString> cardObjectId(const QString& cardName);

    QString folder_;
    QString busAddress_;
    std::unique_ptr<QProcess> bus_;
    std::unique_ptr<QProcess> pipewire_;
    std::unique_ptr<QProcess> wireplumber_;
    std::unique_ptr<QProcess> pulse_;
    std::unique_ptr<QProcess> cli_;
    QString bluetoothAddress_;
    QString bluetoothDescription_;
    QString bluetoothCardId_;
    BluetoothProfile bluetoothProfile_ = BluetoothProfile::off;
};

} // namespace vantorelle::test
