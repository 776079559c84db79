#pragma once

#include "model/Direction.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <tuple>

namespace vantorelle {

// One entry of the portal's shortcut lists, a(sa{sv}): the id and its properties (sent and read
// with DBusStructure.h).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
    auto fields() { return std::tie(id, properties); }
    auto fields() const { return std::tie(id, properties); }
};

// "Next output" and "Next input" as global shortcuts through the XDG desktop portal
// (org.freedesktop.portal.GlobalShortcuts): one session, both shortcuts bound to it, so the
// user gives them keys in the desktop's own settings. Backends differ in where they take the
// shortcuts (KDE's only at the session's creation, the interface's description says at the
// bind), so both calls carry them, and only the list an answer returns says what is bound.
// Every step is asynchronous; where the portal or its interface is absent, or the user
// declines, nothing happens and nothing is shown.
class PortalShortcuts : public QObject {
    Q_OBJECT
public:
    explicit PortalShortcuts(QDBusConnection bus, QObject* parent = nullptr);

    // Creates the session with the shortcuts and binds them. Once is enough for the life of the process.
    void start();
    // Called on the loop's thread with the direction of the shortcut pressed.
    std::function<void(Direction)> onNext;

    // The session the portal gave, once it did; empty before.
    const QString& session() const noexcept { return session_; }
    // The portal's last list of the session's shortcuts was not empty.
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
    // The user changed the keys, or the desktop dropped shortcuts.
    void shortcutsChanged(const QDBusMessage& message);

private:
    enum class Step { none, creating, binding, done };
    // Sends `call` with a fresh handle token in its options (the last argument), having first
    // listened on the request object the portal will answer on.
    void request(QDBusMessage call, QVariantMap options, Step step);
    void bind();
    void listen(const QString& signal, const char* slot);

    QDBusConnection bus_;
    Step step_ = Step::none;
    QString pendingRequest_;
    QString session_;
    bool bound_ = false;
    unsigned tokens_ = 0;
};

} // namespace vantorelle

Q_DECLARE_METATYPE(vantorelle::PortalShortcut)
