#pragma once

#include "engine/DeviceRow.h"
#include "model/Direction.h"
#include "model/StoredSettings.h"
#include "ui/ContextMenu.h"
#include "ui/Drawing.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace vantorelle {

class ActivePill;
class ArrowButton;
class BluetoothConnector;
class CardConnection;
class ElidedLabel;
class InlineNameEdit;
class InputLevelMeter;
class MeterBar;
class SwitchEngine;
class SymbolView;

// One entry of a priority list: rank, icon, name with a caption or the live level bar, a
// status mark and the two reorder arrows; its context menu offers the same moves, the removal
// of a disconnected entry and the connection of a remembered Bluetooth one. The card keeps no
// state of its own beyond that connection: the pane hands it what to show, and it edits the
// list only through the engine.
class DeviceCard : public QWidget {
    Q_OBJECT
public:
    enum class Look { active, nextInLine, standby };

    struct State {
        DeviceRow row;
        int rank = 1;
        // How many entries the list has.
        int count = 1;
        bool isFirst = false;
        bool isLast = false;
        bool isNextInLine = false;
        bool operator==(const State&) const = default;
    };

    // The card edits its entry of the direction's `stack`. `meter` is given on the Input pane's
    // main stack only; only the active card shows it. `bluetooth`, when given, connects
    // remembered Bluetooth devices.
    DeviceCard(SwitchEngine& engine, Direction direction, StackKind stack, InputLevelMeter* meter,
               BluetoothConnector* bluetooth = nullptr, QWidget* parent = nullptr);
    ~DeviceCard() override;

    // Whether the state differs from the one shown.
    bool setState(const State& state);
    const State& state() const noexcept { return state_; }

    Look look() const noexcept;
    bool isDimmed() const noexcept;
    double drawnOpacity() const noexcept { return isDimmed() ? 0.55 : 1.0; }
    // The card's outline in its own coordinates, and the shadow it casts (active card only);
    // the pane draws that shadow behind the cards.
    QPainterPath cardShape() const;
    std::optional<ShadowSpec> shadow() const;
    // What the context menu offers right now: the moves the arrows allow, and the removal of a
    // disconnected device.
    std::vector<MenuItem> menuItems() const;
    // "Connect", offered for a remembered Bluetooth device that BlueZ can connect now; also
    // the card's accessible action.
    std::optional<MenuItem> connectItem() const;
    // What screen readers say of the card besides its name: "Rank 1 of 5, active".
    QString accessibleSummary() const;
    // Puts an edit of the user's name for the device in place of the name.
    void startRename();

    static QString rankText(int rank);
    static QString glyph(const DeviceRow& row, Direction direction);
    // The icon names the desktop's theme is asked for, best first: the server's own for the
    // device (unless it names only a sound card), then the one of the device's kind.
    static QStringList themeIconNames(const DeviceRow& row, Direction direction);
    static std::optional<QString> caption(const DeviceRow& row, Direction direction, bool isNextInLine);
    static QString statusText(const DeviceRow& row, bool isNextInLine);

    // The parts, for the pane's tests.
    QLabel& rankLabel() const noexcept { return *rank_; }
    SymbolView& icon() const noexcept { return *icon_; }
    ElidedLabel& nameLabel() const noexcept { return *name_; }
    // Present only while the name is being edited.
    InlineNameEdit* nameEdit() const noexcept { return nameEdit_; }
    ElidedLabel& captionLabel() const noexcept { return *caption_; }
    QLabel& statusLabel() const noexcept { return *status_; }
    ActivePill& pill() const noexcept { return *pill_; }
    ArrowButton& upArrow() const noexcept { return *up_; }
    ArrowButton& downArrow() const noexcept { return *down_; }
    // Present on the active card of the Input pane only.
    MeterBar* meterBar() const noexcept { return meterBar_; }

signals:
    // The card moved or changed size: the shadow behind it must follow.
    void geometryChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void restyle();
    void endRename(std::optional<QString> kept);
    void updateMeterBar();

    SwitchEngine& engine_;
    Direction direction_;
    StackKind stack_;
    QPointer<InputLevelMeter> meter_;
    BluetoothConnector* bluetooth_;
    std::unique_ptr<CardConnection> connection_;
    State state_;
    bool styled_ = false;

    QHBoxLayout* rowLayout_;
    QVBoxLayout* nameColumn_;
    QLabel* rank_;
    SymbolView* icon_;
    ElidedLabel* name_;
    InlineNameEdit* nameEdit_ = nullptr;
    // The menu's "Rename…"; the menu is built by a const member.
    std::function<void()> startRenaming_;
    ElidedLabel* caption_;
    MeterBar* meterBar_ = nullptr;
    QLabel* status_;
    ActivePill* pill_;
    ArrowButton* up_;
    ArrowButton* down_;
    CachedShadow pillShadow_;
};

} // namespace vantorelle
