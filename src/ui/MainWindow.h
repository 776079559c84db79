#pragma once

#include "services/LoginItem.h"
#include "ui/Pane.h"

#include <QWidget>

#include <functional>

namespace vantorelle {

class BluetoothConnector;
class SidebarView;
class SwitchEngine;

// The one window: the sidebar, a hairline rule and the selected pane, at a fixed 880 x 560
// wherever the screen has room for it; on a smaller screen (or a large scale) it takes the room
// there is and the panes scroll. Each selection of another pane builds that pane afresh, so no
// pane keeps state across a switch.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // `loginItem` is asked for each new Settings pane (the tests give a private one);
    // `bluetooth`, when given, connects remembered Bluetooth devices from their cards; the
    // window opens on `pane`.
    MainWindow(SwitchEngine& engine, std::function<LoginItem()> loginItem,
               BluetoothConnector* bluetooth = nullptr, Pane pane = Pane::input, QWidget* parent = nullptr);

    Pane pane() const noexcept { return pane_; }
    void setPane(Pane pane);

    SidebarView& sidebar() const noexcept { return *sidebar_; }
    QWidget* paneView() const noexcept { return paneView_; }

    static constexpr int windowWidth = 880;
    static constexpr int windowHeight = 560;

signals:
    void paneViewReplaced(QWidget* paneView);

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QWidget* makePaneView(Pane pane);
    void fitToScreen();

    SwitchEngine& engine_;
    std::function<LoginItem()> loginItem_;
    BluetoothConnector* bluetooth_;
    Pane pane_;
    SidebarView* sidebar_;
    QWidget* paneView_ = nullptr;
    bool followsScreen_ = false;
};

} // namespace vantorelle
