#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace vantorelle {

class LevelCapture;

// The loudness of the default microphone as a number from 0 to 1, for the level bar of the
// active input card. It only listens: it never changes an audio setting.
//
// Idle until start(); then waiting until a record stream of the default source runs, and
// running while it does. A stream that breaks is a configuration change: off at once, on again
// 0.3 s later unless stopped. Both published values change on the Qt main thread only.
class InputLevelMeter : public QObject {
    Q_OBJECT
    Q_PROPERTY(double level READ level NOTIFY levelChanged)
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)

public:
    struct Options {
        // Only an installed application measures; a build-tree binary never opens a stream.
        bool hasIdentity = false;
        // The sound server; libpulse's usual lookup when absent.
        std::optional<std::string> server;
    };

    // Options of the running process (its application identity, the usual server).
    static Options processOptions();

    explicit InputLevelMeter(Options options, QObject* parent = nullptr);
    ~InputLevelMeter() override;

    double level() const noexcept { return level_; }
    bool running() const noexcept { return running_; }

    // Asks for the meter to run. Idempotent while running or waiting.
    void start();
    // Stops measuring and resets `level` and `running`; a pending restart is dropped.
    void stop();

    static constexpr int restartDelayMs = 300;
    // A stream that stops delivering (a source that sends no data) counts as silence from
    // then on, one buffer's length (1024 frames at 48 kHz) at a time, so the bar falls.
    static constexpr int staleAfterMs = 100;
    static constexpr int silentBufferMs = 21;

signals:
    // Emitted at every assignment, also when the value stays the same.
    void levelChanged(double level);
    void runningChanged(bool running);

private:
    void engineOn();
    void engineOff();
    void configurationChanged(std::uint64_t generation);
    void started(std::uint64_t generation);
    void read(std::span<const float> channelZero);
    void publishLevel(double level, std::uint64_t generation);
    void fallQuietly();

    Options options_;
    double level_ = 0.0;
    bool running_ = false;
    bool wantsRunning_ = false;
    float smoothed_ = 0.0f;
    // Counts engineOff() calls: whatever was posted before the last one is stale.
    std::uint64_t generation_ = 0;
    // The stand-in for the audio engine and its change registration: exists from start() to
    // stop().
    std::unique_ptr<LevelCapture> capture_;
    QTimer restartTimer_;
    // Runs only while a level above 0 waits for its next buffer.
    QTimer quietTimer_;
};

} // namespace vantorelle
