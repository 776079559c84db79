#include "ui/LightAppearance.h"

#include "ui/Palette.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace vantorelle {

void applyLightAppearance()
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")); fusion != nullptr) {
        QApplication::setStyle(fusion);
    }
    QPalette light;
    const QColor white(Qt::white);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        light.setColor(group, QPalette::Window, white);
        light.setColor(group, QPalette::Base, white);
        light.setColor(group, QPalette::AlternateBase, Palette::sidebar);
        light.setColor(group, QPalette::Button, Palette::sidebar);
        light.setColor(group, QPalette::ToolTipBase, white);
        light.setColor(group, QPalette::ToolTipText, Palette::text);
        light.setColor(group, QPalette::PlaceholderText, Palette::greyLight);
        light.setColor(group, QPalette::WindowText, Palette::text);
        light.setColor(group, QPalette::Text, Palette::text);
        light.setColor(group, QPalette::ButtonText, Palette::text);
        light.setColor(group, QPalette::BrightText, white);
        light.setColor(group, QPalette::Highlight, Palette::blue);
        light.setColor(group, QPalette::HighlightedText, white);
        light.setColor(group, QPalette::Link, Palette::blue);
        light.setColor(group, QPalette::Light, white);
        light.setColor(group, QPalette::Midlight, Palette::divider);
        light.setColor(group, QPalette::Mid, Palette::arrowBorder);
        light.setColor(group, QPalette::Dark, Palette::greyFaint);
        light.setColor(group, QPalette::Shadow, Palette::grey);
    }
    light.setColor(QPalette::Disabled, QPalette::WindowText, Palette::greyFaint);
    light.setColor(QPalette::Disabled, QPalette::Text, Palette::greyFaint);
    light.setColor(QPalette::Disabled, QPalette::ButtonText, Palette::greyFaint);
    QApplication::setPalette(light);
}

} // namespace vantorelle
