#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace vantorelle {

enum class FontWeight { regular, medium, semibold, bold, heavy };

// The desktop's sans-serif (the application font) at a size in points of the layout, which
// are logical pixels, whatever the screen's font resolution says. Kerning is extra letter
// spacing in points.
QFont uiFont(double points, FontWeight weight, double kerning = 0.0);

QFont::Weight qtWeight(FontWeight weight) noexcept;

// A plain-text, single-line label in one colour, transparent to the background behind it.
QLabel* makeLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent);
void setLabelColor(QLabel& label, const QColor& color);

} // namespace vantorelle
