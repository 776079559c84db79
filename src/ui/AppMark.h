#pragma once

#include <QIcon>
#include <QWidget>

class QPainter;

namespace vantorelle {

// The application's mark: a rounded square in the mark gradient with a white microphone,
// at any size.
class AppMark : public QWidget {
    Q_OBJECT
public:
    explicit AppMark(double size, QWidget* parent = nullptr);

    // Draws the mark filling `square` (its width is the size).
    static void paint(QPainter& painter, const QRectF& square);
    // The mark as an icon for the window and the tray.
    static QIcon icon();

    static constexpr double cornerRatio = 0.26;
    static constexpr double symbolRatio = 0.44;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double size_;
};

} // namespace vantorelle
