#pragma once

#include "model/Direction.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace vantorelle {

// "Next output" and "Next input" as global shortcuts through the XDG desktop portal
// (org.freedesktop.portal.GlobalShortcuts): one session, both shortcuts bound to it, so the
// user gives them keys in the desktop's own settings. Every step is asynchronous; where the
// portal or its interface is absent, or the user declines, nothing happens and nothing is shown.
class PortalShortcuts : public QObject {
    Q_OBJECT
public:
    explicit PortalShortcuts(QDBusConnection bus, QObject* parent = nullptr);

    // Creates the session and binds the shortcuts. Once is enough for the life of the process.
    void start();
    // Called on the loop's thread with the direction of the shortcut pressed.
    std::function<void(Direction)> onNext;

    // The session the portal gave, once it did; empty before.
    const QString& session() const noexcept { return session_; }
    bool isBound() const noexcept { return bound_; }
    // The portal has answered every step, or there is none to answer.
    bool isSettled() const noexcept { return step_ == Step::done; }

    static constexpr const char* portalService = "org.freedesktop.portal.Desktop";
    static constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* shortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";
    static constexpr const char* outputShortcut = "next-output";
    static constexpr const char* inputShortcut = "next-input";

private Q_SLOTS:
    void responded(uint response, const QVariantMap& results, const QDBusMessage& message);
    void activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                   const QVariantMap& options);

private:
    enum class Step { none, creating, binding, done };
    // Sends `call` with a fresh handle token in its options (the last argument), having first
    // listened on the request object the portal will answer on.
    void request(QDBusMessage call, QVariantMap options, Step step);
    void bind();

    QDBusConnection bus_;
    Step step_ = Step::none;
    QString pendingRequest_;
    QString session_;
    bool bound_ = false;
    unsigned tokens_ = 0;
};

} // namespace vantorelle
