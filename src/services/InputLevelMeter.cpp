#include "services/InputLevelMeter.h"

#include "services/AppIdentity.h"
#include "services/LevelCapture.h"
#include "services/LevelComputation.h"

namespace vantorelle {

InputLevelMeter::Options InputLevelMeter::processOptions()
{
    Options options;
    options.hasIdentity = AppIdentity::current().present();
    return options;
}

InputLevelMeter::InputLevelMeter(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options))
{
    restartTimer_.setSingleShot(true);
    restartTimer_.setInterval(restartDelayMs);
    connect(&restartTimer_, &QTimer::timeout, this, &InputLevelMeter::engineOn);
    quietTimer_.setSingleShot(true);
    connect(&quietTimer_, &QTimer::timeout, this, &InputLevelMeter::fallQuietly);
}

// The owner stops the meter first; whatever is left goes without signals.
InputLevelMeter::~InputLevelMeter() = default;

void InputLevelMeter::start()
{
    if (!options_.hasIdentity) return;
    if (wantsRunning_) return;
    wantsRunning_ = true;

    // Every event of the capture is handled from the event loop, never inside libpulse's
    // dispatch, so a handler may freely drop the stream; queued calls die with the meter.
    LevelCapture::Events events;
    // A call that arrives after the stream it speaks of was dropped is stale and ignored.
    events.started = [this] {
        const std::uint64_t generation = generation_;
        QMetaObject::invokeMethod(this, [this, generation] { started(generation); }, Qt::QueuedConnection);
    };
    events.configurationChanged = [this] {
        const std::uint64_t generation = generation_;
        QMetaObject::invokeMethod(
            this, [this, generation] { configurationChanged(generation); }, Qt::QueuedConnection);
    };
    events.buffer = [this](std::span<const float> samples) { read(samples); };
    capture_ = std::make_unique<LevelCapture>(std::move(events), options_.server);

    // Linux has no microphone permission outside sandboxes: the status is always "authorised".
    engineOn();
}

void InputLevelMeter::stop()
{
    wantsRunning_ = false;
    restartTimer_.stop();
    engineOff();
    capture_.reset();
}

void InputLevelMeter::engineOn()
{
    if (!wantsRunning_ || running_ || !capture_) return;
    capture_->open();
}

void InputLevelMeter::started(std::uint64_t generation)
{
    if (generation != generation_ || !wantsRunning_ || running_) return;
    running_ = true;
    emit runningChanged(running_);
}

void InputLevelMeter::engineOff()
{
    if (capture_) capture_->close();
    quietTimer_.stop();
    ++generation_;
    running_ = false;
    smoothed_ = 0.0f;
    level_ = 0.0;
    emit runningChanged(running_);
    emit levelChanged(level_);
}

void InputLevelMeter::configurationChanged(std::uint64_t generation)
{
    if (generation != generation_ || !wantsRunning_) return;
    engineOff();
    restartTimer_.start();
}

void InputLevelMeter::read(std::span<const float> channelZero)
{
    const std::optional<float> value = LevelComputation::bufferLevel(channelZero, 1);
    if (!value) return;
    smoothed_ = LevelComputation::smoothed(smoothed_, *value);
    const double level = smoothed_;
    const std::uint64_t generation = generation_;
    QMetaObject::invokeMethod(
        this, [this, level, generation] { publishLevel(level, generation); }, Qt::QueuedConnection);
}

void InputLevelMeter::publishLevel(double level, std::uint64_t generation)
{
    if (generation != generation_ || !running_) return;
    level_ = level;
    emit levelChanged(level_);
    if (level_ > 0.0) quietTimer_.start(staleAfterMs);
}

void InputLevelMeter::fallQuietly()
{
    if (!running_) return;
    // The capture delivers on this thread too, so no buffer is being measured meanwhile.
    smoothed_ = LevelComputation::smoothed(smoothed_, 0.0f);
    level_ = smoothed_;
    emit levelChanged(level_);
    if (level_ > 0.0) quietTimer_.start(silentBufferMs);
}

} // namespace vantorelle
