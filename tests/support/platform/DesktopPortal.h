#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vantorelle::test {

// The desktop's real global-shortcut portal on the test's private session bus, as a Plasma
// session has it: xdg-desktop-portal, KDE's backend and KDE's accelerator daemon, started by
// the bus on demand, offscreen, with their configuration in a temporary home. The backend
// ignores SIGTERM, so everything the bus started for it is killed when the object goes.
class DesktopPortal {
public:
    // `serviceFolder`: where the session bus looks for services (DBusServices::sessionServiceFolder).
    explicit DesktopPortal(QString serviceFolder);
    ~DesktopPortal();
    DesktopPortal(const DesktopPortal&) = delete;
    DesktopPortal& operator=(const DesktopPortal&) = delete;

    // Makes the portal startable on the bus; false when a part is not installed.
    bool start();

    // The accelerator daemon's components ("/component/<name>") and one component's shortcuts.
    QStringList components();
    QStringList shortcutNames(const QString& component);
    // The user presses the key given to `shortcut` of `component`.
    bool press(const QString& component, const QString& shortcut);

private:
    QString serviceFolder_;
    QTemporaryDir home_;
    QString connectionName_;
};

} // namespace vantorelle::test
