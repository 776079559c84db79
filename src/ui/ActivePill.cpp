#include "ui/ActivePill.h"

#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/Typography.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vantorelle {

namespace {

QFont pillFont()
{
    return uiFont(11, FontWeight::bold);
}

} // namespace

ActivePill::ActivePill(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text());
}

QString ActivePill::text()
{
    //: Status of the device in use now (a badge on its card).
    return tr("Active");
}

QSize ActivePill::sizeHint() const
{
    const QFontMetricsF metrics(pillFont());
    const double content = dotSize + gap + metrics.horizontalAdvance(text());
    const double height = std::max(dotSize, metrics.height()) + 2 * verticalPadding;
    return QSize(static_cast<int>(std::ceil(content + 2 * horizontalPadding)), static_cast<int>(std::ceil(height)));
}

QPainterPath ActivePill::shape() const
{
    return capsule(QRectF(rect()));
}

QRectF ActivePill::inner() const
{
    return QRectF(rect()).adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding);
}

QRectF ActivePill::textArea() const
{
    return inner().adjusted(dotSize + gap, 0, 0, 0);
}

void ActivePill::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(shape(), Qt::white);

    const QRectF dot(inner().left(), inner().center().y() - dotSize / 2, dotSize, dotSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::switchGreen);
    painter.drawEllipse(dot);

    // The darker end of the active gradient, as on "Next in line".
    painter.setPen(Palette::activeGradient.second);
    painter.setFont(pillFont());
    painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

} // namespace vantorelle
