#pragma once

#include "model/Direction.h"
#include "model/StoredSettings.h"
#include "ui/DeviceCard.h"
#include "ui/ShadowCanvas.h"

#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QVBoxLayout;

namespace vantorelle {

class BluetoothConnector;
class InputLevelMeter;
class SwitchEngine;

// One stack of a direction as a column of numbered cards. Cards are kept by UID, so a card keeps
// its widget when the stack is reordered; each card edits its entry of this stack through the
// engine.
class DeviceCardList : public QWidget {
    Q_OBJECT
public:
    DeviceCardList(SwitchEngine& engine, Direction direction, StackKind stack, InputLevelMeter* meter,
                   BluetoothConnector* bluetooth, QWidget* parent);

    struct Shown {
        bool changed = false;   // a card came, went, moved or shows another state
        bool reordered = false; // the order of the cards changed
    };
    // One card per state, in this order.
    Shown setStates(const std::vector<DeviceCard::State>& states);

    // The cards in rank order.
    const std::vector<DeviceCard*>& cards() const noexcept { return order_; }
    DeviceCard* card(const std::string& uid) const;
    // Puts the cards' tab stops (each card, then its arrows) after `previous`; gives the last
    // stop, `previous` itself when there is no card.
    QWidget* chainTabOrder(QWidget* previous) const;
    // The shadows the shown cards cast, in the coordinates of `canvas`.
    void addShadows(const QWidget& canvas, std::vector<ShadowCanvas::CastShadow>& shadows) const;

signals:
    // A card moved or changed size: the shadows behind the cards must follow.
    void cardsMoved();

private:
    SwitchEngine& engine_;
    Direction direction_;
    StackKind stack_;
    InputLevelMeter* meter_;
    BluetoothConnector* bluetooth_;
    QVBoxLayout* layout_;
    std::map<std::string, DeviceCard*> cardsByUID_;
    std::vector<DeviceCard*> order_;
};

} // namespace vantorelle
