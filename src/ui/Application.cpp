#include "ui/Application.h"

#include "engine/SwitchEngine.h"
#include "services/ApplicationEngine.h"
#include "services/BluezConnector.h"
#include "services/LoginItem.h"
#include "services/PortalShortcuts.h"
#include "ui/Accessibility.h"
#include "ui/AppMark.h"
#include "ui/AppShell.h"
#include "ui/EngineBusInterface.h"
#include "ui/LightAppearance.h"
#include "ui/SingleInstance.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDBusConnection>

#include <string_view>
#include <vector>

namespace vantorelle {

namespace {

// Qt's Wayland support takes the token for the window's next activation from the environment
// (and clears it there); without one the compositor keeps the window behind. X11 needs none.
void useActivationToken(const QString& token)
{
    if (token.isEmpty() || !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
    qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}

} // namespace

int runApplication(int argc, char** argv)
{
    // Read before Qt takes its own arguments out.
    const bool inBackground = LoginItem::isBackgroundStart(std::vector<std::string_view>(argv, argv + argc));
    const QString activationToken = SingleInstance::launchActivationToken();
    QApplication app(argc, argv);
    installTranslations(app);
    // Before any widget: a screen reader may ask about each one while it is being built.
    installAccessibility();
    QApplication::setApplicationName(QStringLiteral("Vantorelle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantorelle"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vantorelle"));
    QApplication::setWindowIcon(AppMark::icon());
    // Closing the window leaves the engine switching; quitting is the tray's Quit.
    QApplication::setQuitOnLastWindowClosed(false);
    applyLightAppearance();

    // A second start only brings the running one's window forward (one from the login entry
    // not even that); it never builds an engine.
    SingleInstance instance(QDBusConnection::sessionBus());
    if (!instance.claim()) {
        if (!inBackground) instance.activateRunning(activationToken);
        return 0;
    }

    const std::shared_ptr<SwitchEngine> engine = makeApplicationEngine();
    instance.busInterface().serve(*engine);
    BluezConnector bluetooth;
    bluetooth.start();
    AppShell shell(*engine, [] { return LoginItem::forCurrentProcess(); }, &bluetooth);
    QObject::connect(&instance, &SingleInstance::activationRequested, &shell, [&shell](const QString& token) {
        useActivationToken(token);
        shell.showWindow();
    });

    // Keys the user gives in the desktop's own settings, where its portal offers global shortcuts.
    PortalShortcuts shortcuts(QDBusConnection::sessionBus());
    shortcuts.onNext = [&instance](Direction direction) {
        instance.busInterface().choose({DeviceCommand::Kind::next, direction, std::nullopt});
    };
    shortcuts.start();

    shell.launch(inBackground);
    return QApplication::exec();
}

} // namespace vantorelle
