#pragma once

#include <QAbstractButton>

namespace vantorelle {

// One reorder button of a device card: a chevron on a small rounded face, without system
// chrome. Disabled, it ignores clicks and is drawn at opacity 0.4.
class ArrowButton : public QAbstractButton {
    Q_OBJECT
public:
    ArrowButton(bool pointsUp, QWidget* parent = nullptr);

    // Drawn for the active card's gradient background.
    void setOnActiveCard(bool onActiveCard);
    bool onActiveCard() const noexcept { return onActiveCard_; }
    bool pointsUp() const noexcept { return pointsUp_; }
    // The opacity the whole button is drawn at.
    double drawnOpacity() const noexcept { return isEnabled() ? 1.0 : 0.4; }

    QSize sizeHint() const override { return QSize(width, height); }
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int width = 25;
    static constexpr int height = 22;
    static constexpr double cornerRadius = 6;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool pointsUp_;
    bool onActiveCard_ = false;
};

} // namespace vantorelle
