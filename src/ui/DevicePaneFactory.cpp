#include "ui/DevicePaneFactory.h"

#include "ui/Palette.h"
#include "ui/Typography.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantorelle {

namespace {

// Stands in for the device pane until it exists: the pane's title on an empty page.
QWidget* makeEmptyDevicePane(Direction direction, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    pane->setObjectName(QStringLiteral("emptyDevicePane"));
    auto* stack = new QVBoxLayout(pane);
    stack->setContentsMargins(26, 22, 26, 22);
    stack->setSpacing(14);
    const QString title = direction == Direction::input ? QStringLiteral("Input Devices") : QStringLiteral("Output Devices");
    stack->addWidget(makeLabel(title, uiFont(20, FontWeight::bold), Palette::text, pane));
    stack->addStretch(1);
    return pane;
}

} // namespace

QWidget* makeDevicePane(SwitchEngine&, Direction direction, QWidget* parent)
{
    return makeEmptyDevicePane(direction, parent);
}

} // namespace vantorelle
