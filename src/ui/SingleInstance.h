#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <memory>

class QLockFile;

namespace vantorelle {

// Keeps one running application per desktop session: the first process owns a well-known name
// on the session bus; a later one asks it to show its window and then quits. Without a session
// bus there is nobody to ask: a lock file in the user's runtime folder lets only the first run.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vantorelle.Vantorelle")
public:
    explicit SingleInstance(QDBusConnection bus, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is (now) the one instance.
    bool claim();
    // Asks the instance that owns the name to show its window; true when it answered.
    bool activateRunning() const;

    static constexpr const char* serviceName = "org.vantorelle.Vantorelle";
    static constexpr const char* objectPath = "/org/vantorelle/Vantorelle";

public Q_SLOTS:
    // Called over the bus by a second start.
    void Activate();

signals:
    void activationRequested();

private:
    bool claimLock();

    QDBusConnection bus_;
    bool owner_ = false;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace vantorelle
