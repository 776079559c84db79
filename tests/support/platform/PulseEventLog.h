#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>

namespace vantorelle::test {

// The raw event stream of the sound server that PULSE_SERVER names, as `pactl subscribe` prints
// it ("Event 'change' on server", "Event 'new' on sink #3"). Lets a test see events the code
// under test filters out, e.g. that a call changed nothing on the server.
class PulseEventLog {
public:
    explicit PulseEventLog(std::chrono::seconds lifetime = std::chrono::seconds(60));
    ~PulseEventLog();
    PulseEventLog(const PulseEventLog&) = delete;
    PulseEventLog& operator=(const PulseEventLog&) = delete;

    // Every line printed so far.
    QStringList lines();
    // Waits, bounded, until `text` has been printed at least `times` times.
    bool waitFor(const QString& text, int times = 1,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5));
    int count(const QString& text);
    // Waits until everything the server did before this call is in the log. The first call also
    // waits for the log's own subscription to be in place: call it before the action to observe.
    bool sync(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    void read();

    QProcess process_;
    QString buffer_;
    QTemporaryDir folder_;
    int markers_ = 0;
};

} // namespace vantorelle::test
