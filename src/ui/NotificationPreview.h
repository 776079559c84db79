#pragma once

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

private:
    QWidget* bubble_;
};

} // namespace vantorelle
