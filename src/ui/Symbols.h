#pragma once

#include "ui/Typography.h"

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QWidget>

class QPainter;

namespace vantorelle {

// Our own line symbols, compiled in under the names the views use ("mic", "mic.fill",
// "speaker.wave.2", "gearshape", "laptopcomputer", "headphones", "video", "display",
// "chevron.up", "chevron.down"). A symbol drawn "at a point size" is as high as that size,
// like a glyph of a font at that size; heavier weights draw thicker lines.
namespace Symbols {

bool exists(const QString& name);
// The drawn size at a point size (width follows the drawing's proportions).
QSizeF size(const QString& name, double pointSize);
// The symbol in one colour; empty for an unknown name.
QPixmap pixmap(const QString& name, double pointSize, const QColor& color,
               FontWeight weight = FontWeight::regular, double devicePixelRatio = 1.0);
// Draws the symbol centred on `centre`.
void paint(QPainter& painter, const QString& name, const QPointF& centre, double pointSize,
           const QColor& color, FontWeight weight = FontWeight::regular);

// The desktop icon theme's symbolic icons, drawn in one colour like our own symbols.
// The first of `names` (icon names such as "audio-headset-bluetooth", each also tried without
// its last parts, down to two) whose "-symbolic" icon the theme has; empty when it has none.
QString themeSymbol(const QStringList& names);
// That icon in one colour, `pointSize` high and wide; empty when the theme cannot draw it.
QPixmap themePixmap(const QString& iconName, double pointSize, const QColor& color, double devicePixelRatio = 1.0);

} // namespace Symbols

// A symbol as a widget: centred in a frame of the given width (or its own width when 0).
class SymbolView : public QWidget {
    Q_OBJECT
public:
    SymbolView(QString name, double pointSize, FontWeight weight, QColor color, int frameWidth,
               QWidget* parent = nullptr);

    void setSymbol(const QString& name);
    // A symbolic icon of the desktop's theme (Symbols::themeSymbol) drawn instead of the symbol,
    // as high and wide as the point size; empty: the symbol.
    void setThemeIcon(const QString& iconName);
    const QString& themeIcon() const noexcept { return themeIcon_; }
    void setColor(const QColor& color);
    const QString& symbol() const noexcept { return name_; }
    const QColor& color() const noexcept { return color_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    QString themeIcon_;
    double pointSize_;
    FontWeight weight_;
    QColor color_;
    int frameWidth_;
};

} // namespace vantorelle
