#pragma once

#include <QObject>

#include <chrono>

class QVariantAnimation;

namespace vantorelle {

// A number that moves linearly to each new target over a fixed time (0.08 s by default),
// starting from wherever it is; for bars that follow a changing level.
class LinearAnimator : public QObject {
    Q_OBJECT
public:
    explicit LinearAnimator(std::chrono::milliseconds duration = std::chrono::milliseconds(80),
                            QObject* parent = nullptr);

    double value() const noexcept { return value_; }
    double target() const noexcept { return target_; }
    bool isRunning() const;

    void animateTo(double target);
    // Sets the value at once (stops any movement).
    void jumpTo(double value);

signals:
    void valueChanged(double value);

private:
    void setValue(double value);

    QVariantAnimation* animation_;
    double value_ = 0.0;
    double target_ = 0.0;
};

} // namespace vantorelle
