#include "support/platform/PulseDaemon.h"

#include "support/platform/ChildProcess.h"
#include "support/platform/PipeWireSession.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>


namespace vantorelle::test {

namespace {

using namespace std::chrono_literals;

constexpr int processTimeoutMs = 5000;
constexpr auto startTimeout = 10s;

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// A value of a property list: quoted, with the characters that would end the quote escaped.
QString quotedValue(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        if (c == u'\\' || c == u'\'' || c == u'"') escaped += u'\\';
        escaped += c;
    }
    return u'\'' + escaped + u'\'';
}

std::optional<QByteArray> replaceEnvironment(const char* name, const QByteArray& value)
{
    std::optional<QByteArray> previous;
    if (qEnvironmentVariableIsSet(name)) previous = qgetenv(name);
    qputenv(name, value);
    return previous;
}

void restoreEnvironment(const char* name, const std::optional<QByteArray>& previous)
{
    if (previous) {
        qputenv(name, *previous);
    } else {
        qunsetenv(name);
    }
}

} // namespace

PulseDaemon::Kind PulseDaemon::requestedKind()
{
    return qEnvironmentVariable("VANTORELLE_TEST_SERVER") == u"pipewire" ? Kind::pipewire : Kind::pulseaudio;
}

PulseDaemon::PulseDaemon()
    : kind_(requestedKind())
{
    if (!folder_.isValid()) return;
    if (isPipeWire()) pipewire_ = std::make_unique<PipeWireSession>(folder_.path());
    const QString dir = folder_.path();
    writeFile(dir + "/daemon.conf", "rlimit-nofile = 8192\n");
    writeFile(dir + "/client.conf", "autospawn = no\n");
    writeFile(dir + "/default.pa",
              QStringLiteral("load-module module-native-protocol-unix socket=%1/native auth-anonymous=1\n")
                  .arg(dir)
                  .toUtf8());
    previousServer_ = replaceEnvironment("PULSE_SERVER", server().toUtf8());
    previousClientConfig_ = replaceEnvironment("PULSE_CLIENTCONFIG", (dir + "/client.conf").toUtf8());
    // PipeWire's own protocol, which tells the defaults, on the private server too.
    if (pipewire_) previousRemote_ = replaceEnvironment("PIPEWIRE_REMOTE", pipewire_->coreSocket().toUtf8());
    start();
}

PulseDaemon::~PulseDaemon()
{
    stop();
    pipewire_.reset();
    restoreEnvironment("PULSE_SERVER", previousServer_);
    restoreEnvironment("PULSE_CLIENTCONFIG", previousClientConfig_);
    if (isPipeWire()) restoreEnvironment("PIPEWIRE_REMOTE", previousRemote_);
}

bool PulseDaemon::isRunning() const
{
    return answered_ && serverAlive();
}

bool PulseDaemon::serverAlive() const
{
    if (pipewire_) return pipewire_->isAlive();
    return process_ && process_->state() == QProcess::Running;
}

bool PulseDaemon::serverExited(int waitMs)
{
    if (pipewire_) return pipewire_->waitForExit(waitMs);
    return !process_ || process_->waitForFinished(waitMs);
}

std::optional<qint64> PulseDaemon::serverProcessId() const
{
    if (pipewire_) return pipewire_->pulseProcessId();
    if (!process_ || process_->state() != QProcess::Running) return std::nullopt;
    return process_->processId();
}

QString PulseDaemon::server() const
{
    if (pipewire_) return pipewire_->server();
    return "unix:" + folder_.path() + "/native";
}

QString PulseDaemon::folder() const
{
    return folder_.path();
}

bool PulseDaemon::start()
{
    paused_ = false;
    answered_ = false;
    if (pipewire_) {
        answered_ = pipewire_->start() && waitUntilAnswering();
        return answered_;
    }
    const QString dir = folder_.path();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER"}) environment.remove(name);
    environment.insert("HOME", dir + "/home");
    environment.insert("XDG_RUNTIME_DIR", dir + "/runtime");
    environment.insert("XDG_CONFIG_HOME", dir + "/config");
    environment.insert("XDG_STATE_HOME", dir + "/state");
    environment.insert("PULSE_CONFIG", dir + "/daemon.conf");
    environment.insert("PULSE_STATE_PATH", dir + "/state");
    environment.insert("PULSE_RUNTIME_PATH", dir + "/runtime");
    // No session bus: the daemon must not find, or launch, one.
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir + "/no-bus");

    process_ = std::make_unique<QProcess>();
    diesWithTests(*process_);
    process_->setProcessEnvironment(environment);
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setStandardOutputFile(dir + "/daemon.log", QIODevice::Append);
    process_->start("pulseaudio",
                    {"-n", "--daemonize=no", "--system=no", "--exit-idle-time=-1",
                     "--use-pid-file=no", "--realtime=no", "--high-priority=no",
                     "--log-target=stderr", "--log-level=warning", "-F", dir + "/default.pa"});
    paused_ = false;
    answered_ = false;
    if (!process_->waitForStarted(processTimeoutMs)) return false;

    answered_ = waitUntilAnswering();
    return answered_;
}

// The daemon gives no sign when its socket is ready; ask until it answers, bounded, and stop
// asking at once if it died.
bool PulseDaemon::waitUntilAnswering()
{
    const QDeadlineTimer deadline(startTimeout);
    while (!deadline.hasExpired()) {
        if (pactl({"info"}, 2s)) return true;
        if (serverExited(25)) return false;
    }
    return false;
}

void PulseDaemon::stop()
{
    if (paused_) resume();
    if (pipewire_) {
        pipewire_->stop();
        answered_ = false;
        modules_.clear();
        return;
    }
    if (!process_) return;
    endProcess(*process_);
    process_.reset();
    answered_ = false;
    modules_.clear();
}

std::optional<QString> PulseDaemon::pactl(const QStringList& arguments, std::chrono::seconds limit) const
{
    QProcess process;
    diesWithTests(process);
    QStringList command{"--kill-after=1", QString::number(limit.count()), "pactl"};
    command += arguments;
    process.start("timeout", command);
    const int waitMs = static_cast<int>(std::chrono::milliseconds(limit + 3s).count());
    if (!process.waitForFinished(waitMs)) {
        process.kill();
        process.waitForFinished(processTimeoutMs);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PulseDaemon::quotedProperties(const PulseProperties& properties)
{
    QStringList items;
    for (const auto& [key, value] : properties) items << key + u'=' + quotedValue(value);
    return items.join(u' ');
}

std::optional<std::uint32_t> PulseDaemon::load(const QString& module, const QStringList& arguments)
{
    const std::optional<QString> output = pactl(QStringList{"load-module", module} + arguments);
    if (!output) return std::nullopt;
    bool ok = false;
    const std::uint32_t index = output->trimmed().toUInt(&ok);
    if (!ok) return std::nullopt;
    modules_.push_back(index);
    return index;
}

std::optional<std::uint32_t> PulseDaemon::loadModule(const QString& module, const QStringList& arguments)
{
    return load(module, arguments);
}

std::optional<std::uint32_t> PulseDaemon::addSink(const QString& name, const PulseProperties& properties)
{
    QStringList arguments{"sink_name=" + name};
    // The outer double quotes belong to the module arguments, the inner ones to the property list.
    if (!properties.empty()) arguments << "sink_properties=\"" + quotedProperties(properties) + '"';
    return load("module-null-sink", arguments);
}

std::optional<std::uint32_t> PulseDaemon::addSource(const QString& name, const PulseProperties& properties)
{
    if (isPipeWire()) {
        QStringList arguments{"media.class=Audio/Source/Virtual", "sink_name=" + name};
        if (!properties.empty()) arguments << "sink_properties=\"" + quotedProperties(properties) + '"';
        return load("module-null-sink", arguments);
    }
    const QString fifo = folder_.path() + '/' + name + ".fifo";
    // A daemon that was killed leaves its FIFO behind, and the module refuses an existing one.
    QFile::remove(fifo);
    QStringList arguments{"source_name=" + name, "file=" + fifo};
    if (!properties.empty()) arguments << "source_properties=\"" + quotedProperties(properties) + '"';
    return load("module-pipe-source", arguments);
}

std::optional<std::uint32_t> PulseDaemon::addSineSource(const QString& name, int frequency)
{
    return load("module-sine-source",
                {"source_name=" + name, "frequency=" + QString::number(frequency)});
}

bool PulseDaemon::unload(std::uint32_t module)
{
    std::erase(modules_, module);
    return pactl({"unload-module", QString::number(module)}).has_value();
}

void PulseDaemon::unloadAll()
{
    const std::vector<std::uint32_t> modules = std::exchange(modules_, {});
    for (auto it = modules.rbegin(); it != modules.rend(); ++it) {
        pactl({"unload-module", QString::number(*it)});
    }
}

bool PulseDaemon::setDefault(const QString& command, const QString& name)
{
    // PipeWire's pulse server can answer a load before a client that connects right after it
    // finds the new device; nothing announces when it does, so the set is tried again.
    const QDeadlineTimer deadline(isPipeWire() ? processTimeoutMs : 0);
    while (!pactl({command, name})) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
    return true;
}

bool PulseDaemon::setDefaultSink(const QString& name)
{
    return setDefault("set-default-sink", name);
}

bool PulseDaemon::setDefaultSource(const QString& name)
{
    return setDefault("set-default-source", name);
}

std::optional<QString> PulseDaemon::defaultSink() const
{
    const std::optional<QString> output = pactl({"get-default-sink"});
    if (!output) return std::nullopt;
    return output->trimmed();
}

std::optional<QString> PulseDaemon::defaultSource() const
{
    const std::optional<QString> output = pactl({"get-default-source"});
    if (!output) return std::nullopt;
    return output->trimmed();
}

bool PulseDaemon::setSinkVolume(const QString& name, int percent)
{
    return pactl({"set-sink-volume", name, QString::number(percent) + '%'}).has_value();
}

bool PulseDaemon::pause()
{
    const std::optional<qint64> pid = serverProcessId();
    if (!isRunning() || !pid) return false;
    paused_ = ::kill(static_cast<pid_t>(*pid), SIGSTOP) == 0;
    return paused_;
}

bool PulseDaemon::resume()
{
    const std::optional<qint64> pid = serverProcessId();
    if (!isRunning() || !pid) return false;
    if (::kill(static_cast<pid_t>(*pid), SIGCONT) != 0) return false;
    paused_ = false;
    // Connections made while it was frozen fill its backlog; until it has worked through them,
    // new ones are refused.
    return waitUntilAnswering();
}

bool PulseDaemon::kill()
{
    if (!isRunning()) return false;
    if (pipewire_) {
        paused_ = false;
        modules_.clear();
        return pipewire_->kill();
    }
    process_->kill();
    const bool ended = process_->waitForFinished(processTimeoutMs);
    paused_ = false;
    modules_.clear();
    return ended;
}

bool PulseDaemon::restart()
{
    if (isRunning()) kill();
    return start();
}

} // namespace vantorelle::test
