#pragma once

#include <QAbstractButton>

class QVariantAnimation;

namespace vantorelle {

// A small switch-style toggle without a visible label (give it an accessible name). A click
// flips it and emits clicked(bool) with the new state; setChecked() moves it silently.
class SwitchToggle : public QAbstractButton {
    Q_OBJECT
public:
    explicit SwitchToggle(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int trackWidth = 32;
    static constexpr int trackHeight = 18;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void followCheckedState(bool checked);

    // 0 = off, 1 = on; between the two while the knob moves.
    double position_ = 0.0;
    QVariantAnimation* animation_;
};

} // namespace vantorelle
