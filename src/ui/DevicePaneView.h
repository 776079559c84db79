#pragma once

#include "engine/DeviceRow.h"
#include "model/Direction.h"
#include "services/InputLevelMeter.h"
#include "ui/PaneScrollArea.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace vantorelle {

class BluetoothConnector;
class DeviceCard;
class DeviceCardList;
class EngineChanges;
class SettingRow;
class ShadowCanvas;
class SwitchEngine;

// The pane of one direction: the rule explained, the priority list as numbered cards, the
// auto-switch switch and a footer note; below them the calls section, whose switch sends calls
// to a stack of their own, shown as cards of the same kind while it is on. It rebuilds from the engine after every published
// change and edits only through the engine. The Input pane runs its own level meter while it
// is on screen; a new pane has a new, stopped meter.
class DevicePaneView : public QWidget {
    Q_OBJECT
public:
    // `bluetooth`, when given, lets the cards of remembered Bluetooth devices connect them.
    DevicePaneView(SwitchEngine& engine, Direction direction,
                   InputLevelMeter::Options meterOptions = InputLevelMeter::processOptions(),
                   BluetoothConnector* bluetooth = nullptr, QWidget* parent = nullptr);
    ~DevicePaneView() override;

    // The one row that takes over next: the first row the rule may choose that is not active.
    static std::optional<std::string> nextInLineUID(const std::vector<DeviceRow>& rows);

    // The notes under the auto-switch switch and the calls switch.
    static QString footer(Direction direction);
    static QString callsSubtitle(Direction direction);

    Direction direction() const noexcept { return direction_; }
    InputLevelMeter& meter() const noexcept { return *meter_; }
    // The cards in rank order.
    std::vector<DeviceCard*> cards() const;
    DeviceCard* card(const std::string& uid) const;
    QLabel& emptyLabel() const noexcept { return *empty_; }
    SettingRow& autoSwitchRow() const noexcept { return *autoSwitch_; }
    // The calls section: its switch, and its cards (in rank order; none while the switch is off).
    SettingRow& callsRow() const noexcept { return *callsSwitch_; }
    DeviceCardList& callsList() const noexcept { return *callsList_; }
    QLabel& callsEmptyLabel() const noexcept { return *callsEmpty_; }
    PaneScrollArea& scrollArea() const noexcept { return *scroll_; }

    // Draws the pane again from the engine's current state.
    void rebuild();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void chainTabOrder();

    SwitchEngine& engine_;
    Direction direction_;
    InputLevelMeter* meter_;
    BluetoothConnector* bluetooth_;
    EngineChanges* changes_;
    PaneScrollArea* scroll_;
    ShadowCanvas* canvas_;
    DeviceCardList* cardList_;
    QLabel* empty_;
    SettingRow* autoSwitch_;
    SettingRow* callsSwitch_;
    DeviceCardList* callsList_;
    QLabel* callsEmpty_;
};

} // namespace vantorelle
