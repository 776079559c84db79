#include "ui/ArrowButton.h"

#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QEvent>
#include <QPainter>

namespace vantorelle {

ArrowButton::ArrowButton(bool pointsUp, QWidget* parent) : QAbstractButton(parent), pointsUp_(pointsUp)
{
    setFixedSize(width, height);
    // Reachable with Tab and pressed with Space, like any button.
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    //: Moves the device one rank up in the priority list (button and menu item).
    setAccessibleName(pointsUp ? tr("Move up") : tr("Move down"));
}

void ArrowButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    // Screen readers say little of a disabled button; the description says why it does nothing.
    if (event->type() != QEvent::EnabledChange) return;
    const QString why = pointsUp_ ? tr("Unavailable: already at the top") : tr("Unavailable: already at the bottom");
    setAccessibleDescription(isEnabled() ? QString() : why);
}

void ArrowButton::setOnActiveCard(bool onActiveCard)
{
    if (onActiveCard == onActiveCard_) return;
    onActiveCard_ = onActiveCard;
    update();
}

void ArrowButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(drawnOpacity());

    // The 1-point stroke sits inside the face, so the face is inset by half a point.
    const QPainterPath face = continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius);
    const QColor fill = onActiveCard_ ? QColor(255, 255, 255, qRound(0.12 * 255)) : QColor(Qt::white);
    const QColor border = onActiveCard_ ? QColor(255, 255, 255, qRound(0.4 * 255)) : Palette::arrowBorder;
    painter.fillPath(face, fill);
    painter.setPen(QPen(border, 1.0));
    painter.drawPath(face);

    Symbols::paint(painter, pointsUp_ ? QStringLiteral("chevron.up") : QStringLiteral("chevron.down"),
                   QRectF(rect()).center(), 9, onActiveCard_ ? QColor(Qt::white) : Palette::grey,
                   FontWeight::semibold);
    if (showsFocusRing(*this)) paintFocusRing(painter, continuousRoundedRect(QRectF(rect()), cornerRadius));
}

} // namespace vantorelle
