#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>

class QTimer;

namespace vantorelle {

class InputLevelMeter;
class LinearAnimator;

// The microphone level under the active input card's name: a 150 x 4 track with a green bar
// of max(level x 150, 4) points that moves linearly over 0.08 s. Hidden (and taking no space)
// while the meter is not running.
//
// It moves many times a second, so a frame costs no more than it must: only a step that
// changes the bar's width in device pixels paints, it paints at once, and it only copies from
// images rendered once (what lies behind with the empty track, and the bar at full length).
//
// Screen readers hear the level at a calm rate: at most one change per announceInterval, the
// latest level last.
class MeterBar : public QWidget {
    Q_OBJECT
public:
    explicit MeterBar(InputLevelMeter& meter, QWidget* parent = nullptr);

    // What the meter publishes; the bar follows it.
    void follow(bool running, double level);
    // Paints what lies behind the bar (in the bar's coordinates), so a moving bar repaints
    // itself alone and not everything under it. It may depend on the parent's size and the
    // bar's place in it: it is painted again when either changes.
    void setBackdrop(std::function<void(QPainter&)> backdrop);

    // The level shown (0 to 1), and the one screen readers were last told of.
    double level() const noexcept { return level_; }
    std::optional<double> announcedLevel() const noexcept { return announced_; }
    // The width the green bar has reached, and the one it moves to.
    double barWidth() const noexcept;
    double targetBarWidth() const noexcept;

    static constexpr std::chrono::milliseconds announceInterval{250};
    static constexpr int trackWidth = 150;
    static constexpr int trackHeight = 4;
    QSize sizeHint() const override { return {trackWidth, trackHeight}; }
    static double barWidthFor(double level) noexcept;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What a frame is copied from, for one pixel ratio and one place in the parent.
    struct Artwork {
        double ratio = 0.0;
        QPoint place;
        QSize parentSize;
        QImage under; // the backdrop and the empty track
        QImage bar;   // the green bar, the whole track long, on transparent
    };

    // A bar width as the screen shows it: whole device pixels at the artwork's ratio.
    int devicePixels(double width) const;
    void moved(double width);
    void prepareArtwork();
    void announceLevel();

    LinearAnimator* animator_;
    bool running_ = false;
    double level_ = 0.0;
    // The green bar's width when it was last painted.
    std::optional<int> paintedPixels_;
    std::function<void(QPainter&)> backdrop_;
    Artwork artwork_;
    QTimer* announceTimer_;
    QElapsedTimer sinceAnnounced_;
    std::optional<double> announced_;
};

} // namespace vantorelle
