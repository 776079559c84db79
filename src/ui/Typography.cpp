#include "ui/Typography.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>

namespace vantorelle {

namespace {

// Layout sizes are logical pixels; Qt converts point sizes with the screen's logical DPI.
double logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 0.0;
    return dpi > 0.0 ? dpi : 96.0;
}

} // namespace

QFont::Weight qtWeight(FontWeight weight) noexcept
{
    switch (weight) {
    case FontWeight::regular: return QFont::Normal;
    case FontWeight::medium: return QFont::Medium;
    case FontWeight::semibold: return QFont::DemiBold;
    case FontWeight::bold: return QFont::Bold;
    case FontWeight::heavy: return QFont::ExtraBold;
    }
    return QFont::Normal;
}

QFont uiFont(double points, FontWeight weight, double kerning)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points * 72.0 / logicalDpi());
    font.setWeight(qtWeight(weight));
    font.setLetterSpacing(QFont::AbsoluteSpacing, kerning);
    font.setKerning(true);
    return font;
}

void setLabelColor(QLabel& label, const QColor& color)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    label.setPalette(palette);
}

QLabel* makeLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(false);
    label->setAutoFillBackground(false);
    setLabelColor(*label, color);
    return label;
}

} // namespace vantorelle
