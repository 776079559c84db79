#include "ui/DevicePaneFactory.h"

#include "ui/DevicePaneView.h"

namespace vantorelle {

QWidget* makeDevicePane(SwitchEngine& engine, Direction direction, QWidget* parent)
{
    return new DevicePaneView(engine, direction, InputLevelMeter::processOptions(), parent);
}

} // namespace vantorelle
