#include "ui/ElidedLabel.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace vantorelle {

ElidedLabel::ElidedLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), text_(text), color_(color)
{
    setFont(font);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void ElidedLabel::setText(const QString& text)
{
    if (text == text_) return;
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    updateToolTip();
    update();
}

void ElidedLabel::setColor(const QColor& color)
{
    if (color == color_) return;
    color_ = color;
    update();
}

void ElidedLabel::setTextFont(const QFont& font)
{
    if (font == this->font()) return;
    setFont(font);
    updateGeometry();
    updateToolTip();
    update();
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateToolTip();
}

void ElidedLabel::updateToolTip()
{
    // A cut-off text can still be read whole.
    setToolTip(shownText() == text_ ? QString() : text_);
}

QString ElidedLabel::shownText() const
{
    return QFontMetricsF(font()).elidedText(text_, Qt::ElideRight, width());
}

QSize ElidedLabel::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(text_))) + 1,
                 static_cast<int>(std::ceil(metrics.height())));
}

QSize ElidedLabel::minimumSizeHint() const
{
    // Room for an ellipsis at least; the rest of the row decides the actual width.
    const QFontMetricsF metrics(font());
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(QStringLiteral("…")))),
                 sizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(color_);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

} // namespace vantorelle
