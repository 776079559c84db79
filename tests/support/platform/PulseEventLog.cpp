#include "support/platform/PulseEventLog.h"

#include "support/platform/ChildProcess.h"
#include "support/platform/PulseDaemon.h"

#include <QCoreApplication>
#include <QDeadlineTimer>


namespace vantorelle::test {

PulseEventLog::PulseEventLog(std::chrono::seconds lifetime)
{
    diesWithTests(process_);
    process_.start("timeout", {"--kill-after=1", QString::number(lifetime.count()), "pactl", "subscribe"});
    process_.waitForStarted(5000);
}

PulseEventLog::~PulseEventLog()
{
    endProcess(process_, true);
}

void PulseEventLog::read()
{
    buffer_ += QString::fromUtf8(process_.readAllStandardOutput());
}

QStringList PulseEventLog::lines()
{
    read();
    return buffer_.split(u'\n', Qt::SkipEmptyParts);
}

bool PulseEventLog::waitFor(const QString& text, int times, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (true) {
        read();
        if (buffer_.count(text) >= times) return true;
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) return false;
        process_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
}

// A marker the server reports with a number known in advance: loading a module that adds no
// device prints its index, and the server announces "new" on that module index in order with
// everything it did before.
bool PulseEventLog::sync(std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!deadline.hasExpired()) {
        ++markers_;
        // PipeWire's pulse server has no unix-socket module; a TCP listener on a loopback port is
        // as harmless, and a port that happens to be taken is simply tried again with another.
        const bool pipewire = PulseDaemon::requestedKind() == PulseDaemon::Kind::pipewire;
        const QStringList module = pipewire
            ? QStringList{"module-native-protocol-tcp", "listen=127.0.0.1",
                          QStringLiteral("port=%1").arg(20000 + (QCoreApplication::applicationPid() * 31 + markers_) % 40000)}
            : QStringList{"module-native-protocol-unix",
                          "socket=" + folder_.path() + QStringLiteral("/marker-%1").arg(markers_)};
        QProcess load;
        load.start("timeout", QStringList{"5", "pactl", "load-module"} + module);
        if (!load.waitForFinished(8000)) return false;
        if (load.exitCode() != 0) {
            if (pipewire) continue;
            return false;
        }
        const QString index = QString::fromUtf8(load.readAllStandardOutput()).trimmed();
        const bool seen = waitFor("'new' on module #" + index + u'\n', 1, std::chrono::milliseconds(500));
        QProcess unload;
        unload.start("timeout", {"5", "pactl", "unload-module", index});
        unload.waitForFinished(8000);
        if (seen) return true;
    }
    return false;
}

int PulseEventLog::count(const QString& text)
{
    read();
    return static_cast<int>(buffer_.count(text));
}

} // namespace vantorelle::test
