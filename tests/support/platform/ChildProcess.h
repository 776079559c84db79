#pragma once

#include "support/core/TempFolder.h"

#include <QProcess>
#include <QStringList>

#include <chrono>
#include <utility>
#include <vector>

namespace vantorelle::test {

// The child gets SIGKILL when the test process dies, so a crashed test leaves nothing behind.
void diesWithTests(QProcess& process);

// Asks the child to end (or, `hard`, kills it at once) and waits; kills it if it lingers.
void endProcess(QProcess& process, bool hard = false);

// The real program, offscreen, with its own configuration folder and the test's buses and
// sound server unless `environment` says otherwise. Ended when the object goes.
class ProgramRun {
public:
    explicit ProgramRun(const TempFolder& config,
                        const std::vector<std::pair<QString, QString>>& environment = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    void start(const QStringList& arguments = {});
    QProcess& process() { return process_; }
    bool running() const { return process_.state() == QProcess::Running; }
    // Waits, bounded, for the program to end by itself.
    bool finished(std::chrono::milliseconds timeout);

private:
    QProcess process_;
};

} // namespace vantorelle::test
