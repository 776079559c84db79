#include "ui/MeterBar.h"

#include "services/InputLevelMeter.h"
#include "ui/Accessibility.h"
#include "ui/Drawing.h"
#include "ui/LinearAnimator.h"
#include "ui/Palette.h"

#include <QAccessible>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace vantorelle {

namespace {

// The bar's rounded ends reach this far along it (its height caps the corners).
constexpr double endLength = MeterBar::trackHeight / 2.0;

} // namespace

MeterBar::MeterBar(InputLevelMeter& meter, QWidget* parent)
    : QWidget(parent), animator_(new LinearAnimator(std::chrono::milliseconds(80), this)), announceTimer_(new QTimer(this))
{
    artwork_.ratio = devicePixelRatioF();
    // 150 points wherever the card has room; on a narrow window it gives way to the name.
    setFixedHeight(trackHeight);
    setMinimumWidth(trackWidth / 3);
    setMaximumWidth(trackWidth);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    installAccessibility();
    announceTimer_->setSingleShot(true);
    connect(announceTimer_, &QTimer::timeout, this, &MeterBar::announceLevel);
    connect(animator_, &LinearAnimator::valueChanged, this, &MeterBar::moved);
    connect(&meter, &InputLevelMeter::runningChanged, this,
            [this, &meter](bool running) { follow(running, meter.level()); });
    connect(&meter, &InputLevelMeter::levelChanged, this,
            [this, &meter](double level) { follow(meter.running(), level); });
    animator_->jumpTo(barWidthFor(meter.level()));
    follow(meter.running(), meter.level());
}

double MeterBar::barWidthFor(double level) noexcept
{
    return std::max(level * trackWidth, 4.0);
}

int MeterBar::devicePixels(double width) const
{
    return qRound(std::clamp(width, 0.0, double(trackWidth)) * artwork_.ratio);
}

void MeterBar::moved(double width)
{
    // At once: the frame belongs to the event that moved the bar, not to another turn of the
    // event loop.
    if (devicePixels(width) != paintedPixels_) repaint();
}

double MeterBar::barWidth() const noexcept
{
    return animator_->value();
}

double MeterBar::targetBarWidth() const noexcept
{
    return animator_->target();
}

void MeterBar::follow(bool running, double level)
{
    level_ = level;
    const double width = barWidthFor(level);
    if (running && !running_) {
        // Appearing: no sweep from an old value.
        animator_->jumpTo(width);
    } else if (devicePixels(width) != devicePixels(animator_->target())) {
        // A level about 47 times a second: one the screen cannot tell from the last target
        // does not start the movement over.
        animator_->animateTo(width);
    }
    running_ = running;
    setVisible(running);
    announceLevel();
}

void MeterBar::announceLevel()
{
    if (!running_ || announced_ == level_ || announceTimer_->isActive()) return;
    const std::chrono::milliseconds since(sinceAnnounced_.isValid() ? sinceAnnounced_.elapsed() : announceInterval.count());
    if (since < announceInterval) {
        // The timer's turn sends whatever the level is by then.
        announceTimer_->start(announceInterval - since);
        return;
    }
    announced_ = level_;
    sinceAnnounced_.start();
    QAccessibleValueChangeEvent event(this, level_);
    QAccessible::updateAccessibility(&event);
}

void MeterBar::setBackdrop(std::function<void(QPainter&)> backdrop)
{
    backdrop_ = std::move(backdrop);
    setAttribute(Qt::WA_OpaquePaintEvent, static_cast<bool>(backdrop_));
    artwork_.under = QImage();
    update();
}

void MeterBar::prepareArtwork()
{
    const double ratio = devicePixelRatioF();
    if (ratio != artwork_.ratio) {
        artwork_ = Artwork{};
        artwork_.ratio = ratio;
    }
    const QSize parentSize = parentWidget() != nullptr ? parentWidget()->size() : QSize();
    const QSize pixels(static_cast<int>(std::ceil(trackWidth * ratio)),
                       static_cast<int>(std::ceil(trackHeight * ratio)));
    const auto canvas = [&] {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        return image;
    };
    if (artwork_.bar.isNull()) {
        artwork_.bar = canvas();
        QPainter painter(&artwork_.bar);
        painter.setRenderHint(QPainter::Antialiasing);
        // It ends on a whole device pixel, as every width shown does.
        const double length = devicePixels(trackWidth) / ratio;
        painter.fillPath(continuousRoundedRect(QRectF(0, 0, length, trackHeight), 2), Palette::barGreen);
    }
    if (artwork_.under.isNull() || artwork_.place != pos() || artwork_.parentSize != parentSize) {
        artwork_.under = canvas();
        artwork_.place = pos();
        artwork_.parentSize = parentSize;
        QPainter painter(&artwork_.under);
        if (backdrop_) {
            painter.save();
            backdrop_(painter);
            painter.restore();
        }
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(QRectF(0, 0, trackWidth, trackHeight), 2),
                         QColor(255, 255, 255, qRound(0.28 * 255)));
    }
}

void MeterBar::paintEvent(QPaintEvent*)
{
    if (!running_) return;
    prepareArtwork();
    const double ratio = artwork_.ratio;
    paintedPixels_ = devicePixels(barWidth());
    // The bar of any width is the full one's start and, moved to its end, the full one's end.
    const int full = devicePixels(trackWidth);
    const int end = std::min(static_cast<int>(std::ceil(endLength * ratio)), *paintedPixels_);
    const int start = *paintedPixels_ - end;
    const int height = artwork_.bar.height();
    QPainter painter(this);
    // Narrower than the track: the whole bar drawn to the room there is.
    if (width() < trackWidth) painter.scale(width() / double(trackWidth), 1.0);
    painter.drawImage(QPointF(0, 0), artwork_.under);
    painter.drawImage(QPointF(0, 0), artwork_.bar, QRect(0, 0, start, height));
    painter.drawImage(QPointF(start / ratio, 0), artwork_.bar, QRect(full - end, 0, end, height));
}

} // namespace vantorelle
