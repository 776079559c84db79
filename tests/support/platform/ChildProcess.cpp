#include "support/platform/ChildProcess.h"

#include "support/platform/QtWait.h"

#include <QProcessEnvironment>

#include <csignal>
#include <sys/prctl.h>

namespace vantorelle::test {

namespace {
constexpr int endTimeoutMs = 5000;
} // namespace

void diesWithTests(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void endProcess(QProcess& process, bool hard)
{
    if (process.state() == QProcess::NotRunning) return;
    if (hard) {
        process.kill();
    } else {
        process.terminate();
    }
    if (!process.waitForFinished(endTimeoutMs)) {
        process.kill();
        process.waitForFinished(endTimeoutMs);
    }
}

ProgramRun::ProgramRun(const TempFolder& config, const std::vector<std::pair<QString, QString>>& environment)
{
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    variables.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config.path().string()));
    for (const auto& [name, value] : environment) variables.insert(name, value);
    process_.setProcessEnvironment(variables);
    diesWithTests(process_);
}

ProgramRun::~ProgramRun()
{
    endProcess(process_);
}

void ProgramRun::start(const QStringList& arguments)
{
    process_.start(QStringLiteral(VANTORELLE_BINARY), arguments);
}

bool ProgramRun::finished(std::chrono::milliseconds timeout)
{
    return waitUntil([this] { return process_.state() == QProcess::NotRunning; }, timeout);
}

} // namespace vantorelle::test
