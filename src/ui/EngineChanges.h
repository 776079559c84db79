#pragma once

#include "engine/SwitchEngine.h"

#include <QObject>

namespace vantorelle {

// The engine's observer list as a Qt signal. Every published change schedules one changed()
// for the next turn of the event loop; changes that arrive in the same turn (a device scan
// publishes several) give a single signal, so a view rebuilds once per event.
class EngineChanges : public QObject {
    Q_OBJECT
public:
    explicit EngineChanges(SwitchEngine& engine, QObject* parent = nullptr);

signals:
    void changed();

private:
    void schedule();

    SwitchEngine::Subscription subscription_;
    bool pending_ = false;
};

} // namespace vantorelle
