#pragma once

#include <QWidget>

#include <functional>

namespace vantorelle {

class InputLevelMeter;
class LinearAnimator;

// The microphone level under the active input card's name: a 150 x 4 track with a green bar
// of max(level x 150, 4) points that moves linearly over 0.08 s. Hidden (and taking no space)
// while the meter is not running.
class MeterBar : public QWidget {
    Q_OBJECT
public:
    explicit MeterBar(InputLevelMeter& meter, QWidget* parent = nullptr);

    // What the meter publishes; the bar follows it.
    void follow(bool running, double level);
    // Paints what lies behind the bar (in the bar's coordinates), so a moving bar repaints
    // itself alone and not everything under it, many times a second.
    void setBackdrop(std::function<void(QPainter&)> backdrop);

    // The level shown (0 to 1).
    double level() const noexcept { return level_; }
    // The width the green bar has reached, and the one it moves to.
    double barWidth() const noexcept;
    double targetBarWidth() const noexcept;

    static constexpr int trackWidth = 150;
    static constexpr int trackHeight = 4;
    static double barWidthFor(double level) noexcept;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LinearAnimator* animator_;
    bool running_ = false;
    double level_ = 0.0;
    std::function<void(QPainter&)> backdrop_;
};

} // namespace vantorelle
