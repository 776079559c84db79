#include "ui/Application.h"

#include "engine/SwitchEngine.h"
#include "services/LoginItem.h"
#include "ui/AppMark.h"
#include "ui/AppShell.h"
#include "services/ApplicationEngine.h"
#include "ui/LightAppearance.h"
#include "ui/SingleInstance.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>

namespace vantorelle {

int runApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorelle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantorelle"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vantorelle"));
    QApplication::setWindowIcon(AppMark::icon());
    // Closing the window leaves the engine switching; quitting is the tray's Quit.
    QApplication::setQuitOnLastWindowClosed(false);
    applyLightAppearance();

    // A second start only brings the running one's window forward; it never builds an engine.
    SingleInstance instance(QDBusConnection::sessionBus());
    if (!instance.claim()) {
        instance.activateRunning();
        return 0;
    }

    const std::shared_ptr<SwitchEngine> engine = makeApplicationEngine();
    AppShell shell(*engine, [] { return LoginItem::forCurrentProcess(); });
    QObject::connect(&instance, &SingleInstance::activationRequested, &shell, &AppShell::showWindow);

    shell.showWindow();
    // Started once the event loop runs, as the engine's events need it.
    QTimer::singleShot(0, &shell, [engine, &shell] {
        engine->start();
        shell.showWindow();
    });
    return QApplication::exec();
}

} // namespace vantorelle
