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
    // The process that serves the pulse protocol.
    std::optional<qint64> pulseProcessId() const;
    // All three server processes run.
    bool isAlive() const;
    // Waits up to `waitMs` for the pulse server to end; whether any server process has ended.
    bool waitForExit(int waitMs);

private:
    bool startBus();
    std::unique_ptr<QProcess> launch(const QString& logName);

    QString folder_;
    QString busAddress_;
    std::unique_ptr<QProcess> bus_;
    std::unique_ptr<QProcess> pipewire_;
    std::unique_ptr<QProcess> wireplumber_;
    std::unique_ptr<QProcess> pulse_;
};

} // namespace vantorelle::test
