#include "ui/MeterBar.h"

#include "services/InputLevelMeter.h"
#include "ui/Accessibility.h"
#include "ui/Drawing.h"
#include "ui/LinearAnimator.h"
#include "ui/Palette.h"

#include <QPainter>

#include <algorithm>

namespace vantorelle {

MeterBar::MeterBar(InputLevelMeter& meter, QWidget* parent)
    : QWidget(parent), animator_(new LinearAnimator(std::chrono::milliseconds(80), this))
{
    setFixedSize(trackWidth, trackHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    installAccessibility();
    connect(animator_, &LinearAnimator::valueChanged, this, qOverload<>(&QWidget::update));
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
    } else if (width != animator_->target()) {
        animator_->animateTo(width);
    }
    running_ = running;
    setVisible(running);
}

void MeterBar::setBackdrop(std::function<void(QPainter&)> backdrop)
{
    backdrop_ = std::move(backdrop);
    setAttribute(Qt::WA_OpaquePaintEvent, static_cast<bool>(backdrop_));
    update();
}

void MeterBar::paintEvent(QPaintEvent*)
{
    if (!running_) return;
    QPainter painter(this);
    if (backdrop_) {
        painter.save();
        backdrop_(painter);
        painter.restore();
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(0, 0, trackWidth, trackHeight);
    painter.fillPath(continuousRoundedRect(track, 2), QColor(255, 255, 255, qRound(0.28 * 255)));
    const QRectF bar(0, 0, std::clamp(barWidth(), 0.0, double(trackWidth)), trackHeight);
    painter.fillPath(continuousRoundedRect(bar, 2), Palette::barGreen);
}

} // namespace vantorelle
