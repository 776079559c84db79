#pragma once

#include "engine/Scheduler.h"

#include <QObject>
#include <QTimer>

namespace vantorelle {

// Later work on the Qt loop of the thread that made it; dropped when this scheduler goes.
class QtScheduler final : public Scheduler {
public:
    void after(std::chrono::milliseconds delay, std::function<void()> then) override
    {
        QTimer::singleShot(delay, &context_, std::move(then));
    }

private:
    QObject context_;
};

} // namespace vantorelle
