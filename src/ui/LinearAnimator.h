#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>

namespace vantorelle {

// A number that moves linearly to each new target over a fixed time (0.08 s by default),
// starting from wherever it has got to; for bars that follow a changing level.
//
// Its frames (valueChanged) come with the targets, at most one per frame interval: a new
// target shows where the movement has reached unless the last frame is more recent, and a
// timer adds frames only after a frame interval without a new target. A level that changes
// about 47 times a second so moves its bar about 24 times a second, with no frame clock
// waking the program in between.
class LinearAnimator : public QObject {
    Q_OBJECT
public:
    explicit LinearAnimator(std::chrono::milliseconds duration = std::chrono::milliseconds(80),
                            QObject* parent = nullptr);

    // The value of the last frame.
    double value() const noexcept { return value_; }
    double target() const noexcept { return target_; }
    bool isRunning() const;

    void animateTo(double target);
    // Sets the value at once (stops any movement).
    void jumpTo(double value);

    static constexpr std::chrono::milliseconds frameInterval{25};

signals:
    void valueChanged(double value);

private:
    double now() const;
    // Where the movement is at `time` (ms on the clock).
    double positionAt(double time) const;
    void frame();
    void show(double value, double time);

    const double duration_;
    QElapsedTimer clock_;
    QTimer frames_;
    double value_ = 0.0;
    double from_ = 0.0;
    double target_ = 0.0;
    // Times on the clock, in ms: of the current movement's start and of the last frame.
    double startedAt_ = 0.0;
    double shownAt_ = 0.0;
};

} // namespace vantorelle
