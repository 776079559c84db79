#include "ui/AppMark.h"

#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace vantorelle {

AppMark::AppMark(double size, QWidget* parent) : QWidget(parent), size_(size)
{
    const int edge = static_cast<int>(std::ceil(size));
    setFixedSize(edge, edge);
    setAttribute(Qt::WA_TranslucentBackground);
}

void AppMark::paint(QPainter& painter, const QRectF& square)
{
    const double size = square.width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.fillPath(continuousRoundedRect(square, size * cornerRatio), Palette::markGradient.in(square));
    Symbols::paint(painter, QStringLiteral("mic.fill"), square.center(), size * symbolRatio, Qt::white,
                   FontWeight::medium);
    painter.restore();
}

QIcon AppMark::icon()
{
    QIcon icon;
    for (const int edge : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(edge, edge);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(painter, QRectF(0, 0, edge, edge));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void AppMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QRectF(0, 0, size_, size_));
}

} // namespace vantorelle
