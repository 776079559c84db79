#pragma once

#include <QWidget>

namespace vantorelle {

// The status mark of the active card: a white capsule holding a green dot and "Active".
// Its shadow is drawn by the card behind it, as a widget cannot paint outside itself.
class ActivePill : public QWidget {
    Q_OBJECT
public:
    explicit ActivePill(QWidget* parent = nullptr);

    static QString text();
    // The capsule's outline in the pill's coordinates.
    QPainterPath shape() const;
    // Where the text lies, in the pill's coordinates.
    QRectF textArea() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr double dotSize = 6;
    static constexpr double gap = 6;
    static constexpr double horizontalPadding = 10;
    static constexpr double verticalPadding = 4.5;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Inside the padding: the dot, then the text.
    QRectF inner() const;
};

} // namespace vantorelle
