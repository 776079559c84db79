#pragma once

#include "model/Direction.h"

class QWidget;

namespace vantorelle {

class SwitchEngine;

// The pane of one direction's devices, created afresh each time the pane is selected.
QWidget* makeDevicePane(SwitchEngine& engine, Direction direction, QWidget* parent);

} // namespace vantorelle
