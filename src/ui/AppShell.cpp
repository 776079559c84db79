#include "ui/AppShell.h"

#include "engine/SwitchEngine.h"
#include "ui/AppMark.h"
#include "ui/MainWindow.h"
#include "ui/TrayMenu.h"
#include "ui/TrayMenuExport.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

namespace vantorelle {

AppShell::AppShell(SwitchEngine& engine, std::function<LoginItem()> loginItem, BluetoothConnector* bluetooth,
                   QObject* parent)
    : QObject(parent), engine_(engine), loginItem_(std::move(loginItem)), bluetooth_(bluetooth)
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) makeTrayIcon();
}

AppShell::~AppShell()
{
    // The window is a top-level widget without a parent: it goes with the shell.
    delete window_.data();
}

MainWindow* AppShell::window() const
{
    return window_.data();
}

void AppShell::launch(bool inBackground)
{
    if (!inBackground) showWindow();
    // The engine's events need the event loop; the window comes forward again once it is filled.
    QTimer::singleShot(0, this, [this, inBackground] {
        engine_.start();
        if (!inBackground) showWindow();
    });
}

void AppShell::showWindow()
{
    if (window_.isNull()) {
        window_ = new MainWindow(engine_, loginItem_, bluetooth_, lastPane_);
        connect(window_, &MainWindow::paneViewReplaced, this, [this] { lastPane_ = window_->pane(); });
        // Closed means gone: its panes (and a running level meter) end with it.
        window_->setAttribute(Qt::WA_DeleteOnClose);
    }
    window_->show();
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->raise();
    window_->activateWindow();
}

void AppShell::makeTrayIcon()
{
    trayMenu_ = std::make_unique<TrayMenu>(engine_);
    TrayMenu* menu = trayMenu_.get();
    connect(menu, &TrayMenu::openWindowRequested, this, &AppShell::showWindow);
    // The installed icon by its theme name, so the tray applies the desktop's theme and scale;
    // the drawn mark where no theme has it (a build-tree run).
    tray_ = std::make_unique<QSystemTrayIcon>(QIcon::fromTheme(QStringLiteral("vantorelle"), AppMark::icon()));
    tray_->setToolTip(QStringLiteral("Vantorelle"));
    tray_->setContextMenu(menu);
    connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) showWindow();
    });
    tray_->show();
    TrayMenuExport::install(*tray_);
}

} // namespace vantorelle
