#include "ui/EngineChanges.h"

#include <QMetaObject>

namespace vantorelle {

EngineChanges::EngineChanges(SwitchEngine& engine, QObject* parent)
    : QObject(parent), subscription_(engine.observe([this](EngineField) { schedule(); }))
{
}

void EngineChanges::schedule()
{
    if (pending_) return;
    pending_ = true;
    // Queued on this object: dropped by Qt if the object is gone before the loop gets to it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            pending_ = false;
            emit changed();
        },
        Qt::QueuedConnection);
}

} // namespace vantorelle
