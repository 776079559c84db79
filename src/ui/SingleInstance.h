#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>

class QLockFile;

namespace vantorelle {

class EngineBusInterface;

// Keeps one running application per desktop session: the first process owns a well-known name
// on the session bus; a later one asks it to show its window and then quits. Without a session
// bus there is nobody to ask: a lock file in the user's runtime folder lets only the first run.
// The request goes the freedesktop application way (org.freedesktop.Application.Activate with
// the launcher's activation token, which Wayland needs to let the window come forward); the
// older argument-less Activate keeps working.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QDBusConnection bus, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is (now) the one instance.
    bool claim();
    // Asks the instance that owns the name to show its window, handing on `activationToken`
    // (empty: none); true when it answered.
    bool activateRunning(const QString& activationToken = {}) const;
    // The token a launcher gave this process (XDG_ACTIVATION_TOKEN, else DESKTOP_STARTUP_ID);
    // read it before the toolkit starts, which may take it out of the environment.
    static QString launchActivationToken();

    // The instance's own interface on its object (its defaults, Next and Select, and the
    // argument-less Activate of a second start of an older version).
    EngineBusInterface& busInterface() const noexcept { return *busInterface_; }

signals:
    // `activationToken` is empty when the caller had none.
    void activationRequested(const QString& activationToken);

private:
    bool claimLock();

    QDBusConnection bus_;
    EngineBusInterface* busInterface_;
    bool owner_ = false;
    std::unique_ptr<QLockFile> lock_;
};

// org.freedesktop.Application on the instance's object, beside its own interface.
class ApplicationInterface : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationInterface(SingleInstance& instance);

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);

private:
    SingleInstance& instance_;
};

} // namespace vantorelle
