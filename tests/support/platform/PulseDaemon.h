#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace vantorelle::test {

class PipeWireSession;

// Device properties as key/value pairs, e.g. {"device.description", "Laptop Speakers"}.
using PulseProperties = std::vector<std::pair<QString, QString>>;

// A private sound server for tests: its own temporary folder, socket, configuration and state,
// and no hardware, D-Bus or X11 modules. A PulseAudio daemon, or PipeWire with its pulse server
// and session manager when VANTORELLE_TEST_SERVER=pipewire; the same calls plug and unplug on both. While it exists, PULSE_SERVER points this process
// (and every pactl it runs) at it. Every pactl call is bounded by `timeout`. The daemon is stopped
// when the object goes away.
class PulseDaemon {
public:
    enum class Kind { pulseaudio, pipewire };

    PulseDaemon();
    ~PulseDaemon();
    PulseDaemon(const PulseDaemon&) = delete;
    PulseDaemon& operator=(const PulseDaemon&) = delete;

    // The server the environment asks for (VANTORELLE_TEST_SERVER).
    static Kind requestedKind();
    Kind kind() const { return kind_; }
    bool isPipeWire() const { return kind_ == Kind::pipewire; }
    // The PipeWire session behind a PipeWire daemon, for what only PipeWire can stand in for.
    PipeWireSession* pipewire() const { return pipewire_.get(); }

    // Whether the daemon started and answered.
    bool isRunning() const;
    // In libpulse's notation, "unix:<folder>/native".
    QString server() const;
    QString folder() const;

    // Plugging in: each returns the module index (for unload()) or nothing on failure.
    std::optional<std::uint32_t> addSink(const QString& name, const PulseProperties& properties = {});
    // An input device: a pipe source reading a FIFO in the temporary folder on PulseAudio, a
    // virtual source on PipeWire.
    std::optional<std::uint32_t> addSource(const QString& name, const PulseProperties& properties = {});
    // A source playing a steady sine tone (PulseAudio only).
    std::optional<std::uint32_t> addSineSource(const QString& name, int frequency = 440);
    std::optional<std::uint32_t> loadModule(const QString& module, const QStringList& arguments);
    bool unload(std::uint32_t module);
    // Unloads every module loaded through this object that is still there.
    void unloadAll();

    bool setDefaultSink(const QString& name);
    bool setDefaultSource(const QString& name);
    std::optional<QString> defaultSink() const;
    std::optional<QString> defaultSource() const;
    bool setSinkVolume(const QString& name, int percent);

    // Freezes the daemon (on PipeWire, its pulse server) (SIGSTOP) so it accepts connections but never answers; resume() thaws it
    // and waits until it answers again.
    bool pause();
    bool resume();
    // Kills it outright (SIGKILL; on PipeWire all three processes), as a crash would; restart() starts a new one on the same socket.
    bool kill();
    bool restart();

    // Runs pactl against this daemon within `limit`; its standard output when it succeeded.
    std::optional<QString> pactl(const QStringList& arguments,
                                 std::chrono::seconds limit = std::chrono::seconds(5)) const;

    // The quoted form that module arguments such as sink_properties take.
    static QString quotedProperties(const PulseProperties& properties);

private:
    bool start();
    bool waitUntilAnswering();
    void stop();
    bool serverAlive() const;
    // Waits up to `waitMs` for the server to end; whether it has.
    bool serverExited(int waitMs);
    std::optional<qint64> serverProcessId() const;
    std::optional<std::uint32_t> load(const QString& module, const QStringList& arguments);
    bool setDefault(const QString& command, const QString& name);

    Kind kind_;
    QTemporaryDir folder_;
    std::unique_ptr<QProcess> process_;
    std::unique_ptr<PipeWireSession> pipewire_;
    std::vector<std::uint32_t> modules_;
    bool paused_ = false;
    bool answered_ = false;
    std::optional<QByteArray> previousServer_;
    std::optional<QByteArray> previousRemote_;
    std::optional<QByteArray> previousClientConfig_;
};

} // namespace vantorelle::test
