#include "services/Notifier.h"

#include "model/PrintableText.h"
#include "services/BusConnection.h"
#include "services/LogCategories.h"
#include "services/NoticeTranslation.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <iostream>

namespace vantorelle {

namespace {

constexpr QLatin1String notificationsService("org.freedesktop.Notifications");
constexpr QLatin1String notificationsPath("/org/freedesktop/Notifications");
constexpr QLatin1String notificationsInterface("org.freedesktop.Notifications");

QDBusMessage notifyCall(const ShownNotice& notice, bool playSound)
{
    QVariantMap hints;
    if (playSound) {
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    } else {
        hints.insert(QStringLiteral("suppress-sound"), true);
    }
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("vantorelle"));

    QDBusMessage call = QDBusMessage::createMethodCall(
        notificationsService, notificationsPath, notificationsInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Vantorelle")       // app_name
         << 0U                                 // replaces_id: never replace an earlier notice
         << QStringLiteral("vantorelle")       // app_icon: for servers that skip the desktop-entry hint
         << notice.title                       // summary
         << notice.body                        // body
         << QStringList()                      // actions
         << hints
         << -1;                                // expire_timeout: the server's default
    return call;
}

} // namespace

Notifier::Notifier(const AppIdentity& identity) : Notifier(identity, std::cout) {}

Notifier::Notifier(const AppIdentity& identity, std::ostream& out)
    : hasIdentity_(identity.present())
    , out_(&out)
{
}

Notifier::~Notifier() = default;

BusConnection* Notifier::sessionBus()
{
    if (!bus_ || !bus_->isConnected()) {
        bus_.reset();
        auto bus = std::make_unique<BusConnection>(QDBusConnection::SessionBus);
        if (!bus->isConnected()) return nullptr;
        bus_ = std::move(bus);
    }
    return bus_.get();
}

void Notifier::askPermission()
{
    if (!hasIdentity_) return;
    BusConnection* const bus = sessionBus();
    if (!bus) return;
    // The answer does not matter: each notice finds out for itself whether a server is there.
    bus->connection().asyncCall(QDBusMessage::createMethodCall(
        notificationsService, notificationsPath, notificationsInterface,
        QStringLiteral("GetServerInformation")));
}

void Notifier::post(const NoticeText& notice)
{
    const ShownNotice shown = shownNotice(notice);
    if (!hasIdentity_) {
        // One failed write (a full or closed pipe) must not silence every later line.
        out_->clear();
        *out_ << "[notification] " << printableLine(shown.title.toStdString()) << ": "
              << printableLine(shown.body.toStdString()) << '\n' << std::flush;
        return;
    }
    BusConnection* const bus = sessionBus();
    qCDebug(noticesLog).noquote() << (bus ? "posting" : "no session bus; dropping") << shown.title;
    if (!bus) return;
    // Without a server the call fails on its own; nobody waits for the answer.
    bus->connection().asyncCall(notifyCall(shown, playSound_));
}

} // namespace vantorelle
