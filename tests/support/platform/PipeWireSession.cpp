#include "support/platform/PipeWireSession.h"

#include "support/platform/ChildProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <csignal>


namespace vantorelle::test {

namespace {

constexpr int processTimeoutMs = 5000;
constexpr int startTimeoutMs = 10000;

void end(std::unique_ptr<QProcess>& process, bool hard)
{
    if (process) endProcess(*process, hard);
    process.reset();
}

bool running(const std::unique_ptr<QProcess>& process)
{
    return process && process->state() == QProcess::Running;
}

// The address as it appears in object names.
QString nameOf(QString address)
{
    return address.replace(':', '_');
}

} // namespace

PipeWireSession::PipeWireSession(QString folder)
    : folder_(std::move(folder))
{
}

PipeWireSession::~PipeWireSession()
{
    stop();
    stopBus();
}

bool PipeWireSession::isInstalled()
{
    for (const char* program : {"pipewire", "wireplumber", "pipewire-pulse", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) return false;
    }
    return true;
}

QString PipeWireSession::server() const
{
    return "unix:" + folder_ + "/runtime/pulse/native";
}

QString PipeWireSession::coreSocket() const
{
    return folder_ + "/runtime/pipewire-0";
}

std::optional<qint64> PipeWireSession::pulseProcessId() const
{
    if (!running(pulse_)) return std::nullopt;
    return pulse_->processId();
}

bool PipeWireSession::isAlive() const
{
    return running(pipewire_) && running(wireplumber_) && running(pulse_);
}

bool PipeWireSession::freezeSessionManager(bool frozen)
{
    return running(wireplumber_) && ::kill(static_cast<pid_t>(wireplumber_->processId()), frozen ? SIGSTOP : SIGCONT) == 0;
}

bool PipeWireSession::startBus()
{
    if (running(bus_)) return true;
    busAddress_ = "unix:path=" + folder_ + "/session-bus";
    QFile::remove(folder_ + "/session-bus");
    bus_ = launch("bus.log");
    bus_->start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=" + busAddress_});
    if (!bus_->waitForStarted(processTimeoutMs)) return false;
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!QFile::exists(folder_ + "/session-bus")) {
        if (deadline.hasExpired() || bus_->waitForFinished(10)) return false;
    }
    return true;
}

QProcessEnvironment PipeWireSession::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER", "PULSE_CLIENTCONFIG",
                             "PIPEWIRE_REMOTE", "PIPEWIRE_RUNTIME_DIR", "DBUS_SYSTEM_BUS_ADDRESS"}) {
        environment.remove(name);
    }
    environment.insert("HOME", folder_ + "/home");
    environment.insert("XDG_RUNTIME_DIR", folder_ + "/runtime");
    environment.insert("XDG_CONFIG_HOME", folder_ + "/config");
    environment.insert("XDG_STATE_HOME", folder_ + "/state");
    // No system bus either: nothing of the host's session may leak in.
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + folder_ + "/no-system-bus");
    if (!busAddress_.isEmpty()) environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    return environment;
}

std::unique_ptr<QProcess> PipeWireSession::launch(const QString& logName)
{
    auto process = std::make_unique<QProcess>();
    diesWithTests(*process);
    process->setProcessEnvironment(environment());
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(folder_ + '/' + logName, QIODevice::Append);
    return process;
}

bool PipeWireSession::start()
{
    QDir().mkpath(folder_ + "/home");
    QDir().mkpath(folder_ + "/runtime");
    QFile::setPermissions(folder_ + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!startBus()) return false;
    stop();
    // A killed server leaves its sockets and lock files behind.
    for (const char* stale : {"/runtime/pipewire-0", "/runtime/pipewire-0.lock",
                                 "/runtime/pipewire-0-manager", "/runtime/pipewire-0-manager.lock",
                                 "/runtime/pulse/native", "/runtime/pulse/pid"}) {
        QFile::remove(folder_ + stale);
    }

    pipewire_ = launch("pipewire.log");
    pipewire_->start("pipewire", {});
    if (!pipewire_->waitForStarted(processTimeoutMs)) return false;
    // The session manager and the pulse server both need the core socket.
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!QFile::exists(coreSocket())) {
        if (deadline.hasExpired() || pipewire_->waitForFinished(10)) return false;
    }
    wireplumber_ = launch("wireplumber.log");
    wireplumber_->start("wireplumber", {});
    pulse_ = launch("pipewire-pulse.log");
    pulse_->start("pipewire-pulse", {});
    return wireplumber_->waitForStarted(processTimeoutMs) && pulse_->waitForStarted(processTimeoutMs);
}

bool PipeWireSession::waitForExit(int waitMs)
{
    if (!isAlive()) return true;
    return pulse_->waitForFinished(waitMs) || !isAlive();
}

void PipeWireSession::stop()
{
    end(cli_, false);
    end(pulse_, false);
    end(wireplumber_, false);
    end(pipewire_, false);
}

void PipeWireSession::stopBus()
{
    end(bus_, false);
}

bool PipeWireSession::kill()
{
    if (!isAlive()) return false;
    end(cli_, true);
    end(pulse_, true);
    end(wireplumber_, true);
    end(pipewire_, true);
    return true;
}

bool PipeWireSession::sendToCli(const QString& line)
{
    if (!running(cli_)) {
        cli_ = launch("pw-cli.log");
        cli_->start("pw-cli", {});
        if (!cli_->waitForStarted(processTimeoutMs)) return false;
    }
    const QByteArray bytes = (line + '\n').toUtf8();
    return cli_->write(bytes) == bytes.size() && cli_->waitForBytesWritten(processTimeoutMs);
}

std::optional<QString> PipeWireSession::cardObjectId(const QString& cardName)
{
    const QDeadlineTimer deadline(processTimeoutMs);
    while (!deadline.hasExpired()) {
        QProcess query;
        diesWithTests(query);
        query.setProcessEnvironment(environment());
        query.start("pw-cli", {"ls", "Device"});
        if (!query.waitForFinished(processTimeoutMs)) return std::nullopt;
        // "\tid 42, type PipeWire:Interface:Device/3" opens each object's block.
        QString id;
        for (const QString& line : QString::fromUtf8(query.readAllStandardOutput()).split('\n')) {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith("id ")) id = trimmed.section(' ', 1, 1).chopped(1);
            if (trimmed == "device.name = \"" + cardName + '"') return id;
        }
        QThread::msleep(20); // the card is not there yet; nothing signals it, so ask again
    }
    return std::nullopt;
}

bool PipeWireSession::addBluetoothCard(const QString& address, const QString& description)
{
    const QString card = "bluez_card." + nameOf(address);
    // Any device factory gives a card; what makes it a headset is what its nodes say.
    if (!sendToCli("create-device spa-device-factory { factory.name=api.v4l2.enum.udev "
                   "media.class=Audio/Device device.name=" + card + " device.description=\""
                   + description + "\" device.bus=bluetooth device.form_factor=headset }")) {
        return false;
    }
    const auto id = cardObjectId(card);
    if (!id) return false;
    bluetoothAddress_ = address;
    bluetoothDescription_ = description;
    bluetoothCardId_ = *id;
    bluetoothProfile_ = BluetoothProfile::off;
    return true;
}

bool PipeWireSession::setBluetoothProfile(BluetoothProfile profile)
{
    if (bluetoothCardId_.isEmpty()) return false;
    const QString output = "bluez_output." + nameOf(bluetoothAddress_) + ".1";
    const QString input = "bluez_input." + nameOf(bluetoothAddress_) + ".0";
    QStringList lines;
    if (bluetoothProfile_ != BluetoothProfile::off) lines << "destroy " + output;
    if (bluetoothProfile_ == BluetoothProfile::headsetHeadUnit) lines << "destroy " + input;
    const auto node = [&](const QString& nodeName, const QString& mediaClass, const QString& profileName,
                          int channels) {
        return "create-node adapter { factory.name=support.null-audio-sink node.name=" + nodeName
            + " node.description=\"" + bluetoothDescription_ + "\" media.class=" + mediaClass
            + " device.id=" + bluetoothCardId_ + " api.bluez5.address=\"" + bluetoothAddress_
            + "\" api.bluez5.profile=" + profileName + " audio.channels=" + QString::number(channels) + " }";
    };
    if (profile == BluetoothProfile::a2dp) lines << node(output, "Audio/Sink", "a2dp-sink", 2);
    if (profile == BluetoothProfile::headsetHeadUnit) {
        lines << node(output, "Audio/Sink", "headset-head-unit", 1)
              // A null sink is a source only in its virtual form, which gives it ports to record
              // from; without them WirePlumber never makes it the default.
              << node(input, "Audio/Source/Virtual", "headset-head-unit", 1);
    }
    bluetoothProfile_ = profile;
    return sendToCli(lines.join('\n'));
}

bool PipeWireSession::removeBluetoothCard()
{
    if (!setBluetoothProfile(BluetoothProfile::off)) return false;
    bluetoothCardId_.clear();
    return sendToCli("destroy bluez_card." + nameOf(bluetoothAddress_));
}

} // namespace vantorelle::test
