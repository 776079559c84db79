#pragma once

#include "services/LoginItem.h"
#include "ui/Pane.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace vantorelle {

class BluetoothConnector;
class MainWindow;
class SwitchEngine;
class TrayMenu;

// What the running application shows: the main window, made when asked for and discarded
// when closed (the engine keeps running), and a tray icon to bring it back and to quit.
class AppShell : public QObject {
    Q_OBJECT
public:
    // `bluetooth`, when given, must outlive the shell; the window's cards connect through it.
    AppShell(SwitchEngine& engine, std::function<LoginItem()> loginItem, BluetoothConnector* bluetooth = nullptr,
             QObject* parent = nullptr);
    ~AppShell() override;

    // Starts the engine once the event loop runs, with the window, or without it for a start in
    // the background (from the login entry): then only the tray icon shows.
    void launch(bool inBackground);
    // Opens the window and brings it forward; one closed before comes back new, on the pane it
    // was closed on (the first one of a run on the Input pane).
    void showWindow();
    MainWindow* window() const;

private:
    void makeTrayIcon();

    SwitchEngine& engine_;
    std::function<LoginItem()> loginItem_;
    BluetoothConnector* bluetooth_;
    QPointer<MainWindow> window_;
    Pane lastPane_ = Pane::input;
    // Neither has a parent (a tray menu cannot); the icon goes before its menu.
    std::unique_ptr<TrayMenu> trayMenu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

} // namespace vantorelle
