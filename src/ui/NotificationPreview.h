#pragma once

#include "ui/Drawing.h"

#include <QWidget>

namespace vantorelle {

// A static picture of a switch notice, under the caption "Notification preview".
class NotificationPreview : public QWidget {
    Q_OBJECT
public:
    explicit NotificationPreview(QWidget* parent = nullptr);

    QWidget& bubble() const noexcept { return *bubble_; }

    // The fill of the sample bubble (a one-off colour, not in the palette).
    static constexpr QColor bubbleFill{250, 250, 252};
    static constexpr double bubbleRadius = 12.0;
    // Reaches beyond the preview, so the widget behind it paints it (see ShadowCanvas).
    static ShadowSpec bubbleShadow() { return ShadowSpec{QColor(0, 0, 0, 31), 14.0, QPointF(0, 8)}; }

private:
    QWidget* bubble_;
};

} // namespace vantorelle
