#include "services/Notifier.h"

#include "model/PrintableText.h"
#include "services/BusConnection.h"
#include "services/LogCategories.h"
#include "services/NoticeTranslation.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <iostream>

namespace vantorelle {

namespace {

constexpr QLatin1String notificationsService("org.freedesktop.Notifications");
constexpr QLatin1String notificationsPath("/org/freedesktop/Notifications");
constexpr QLatin1String notificationsInterface("org.freedesktop.Notifications");

QDBusMessage notificationsCall(const QString& method)
{
    return QDBusMessage::createMethodCall(notificationsService, notificationsPath, notificationsInterface, method);
}

// The text as it reads in a server's markup: with &, < and > escaped, nothing in it is markup.
QString markupEscaped(QString escaped)
{
    escaped.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    escaped.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    escaped.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return escaped;
}

QDBusMessage notifyCall(const QString& title, const QString& body, bool playSound)
{
    QVariantMap hints;
    if (playSound) {
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    } else {
        hints.insert(QStringLiteral("suppress-sound"), true);
    }
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("vantorelle"));

    QDBusMessage call = notificationsCall(QStringLiteral("Notify"));
    call << QStringLiteral("Vantorelle")       // app_name
         << 0U                                 // replaces_id: never replace an earlier notice
         << QStringLiteral("vantorelle")       // app_icon: for servers that skip the desktop-entry hint
         << title                              // summary
         << body                               // body
         << QStringList()                      // actions
         << hints
         << -1;                                // expire_timeout: the server's default
    return call;
}

} // namespace

// The session bus with what the notification server on it reads in a body. The server is asked
// once, and again whenever another process takes its name.
class Notifier::Server {
public:
    Server() : watcher_(notificationsService, bus_.connection(), QDBusServiceWatcher::WatchForOwnerChange)
    {
        QObject::connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, &watcher_,
                         [this](const QString&, const QString&, const QString& owner) {
                             readsMarkup_.reset();
                             ++question_; // whatever the last server still answers is about that one
                             if (!owner.isEmpty()) askCapabilities();
                         });
        if (isConnected()) askCapabilities();
    }

    bool isConnected() const { return bus_.isConnected(); }
    QDBusConnection& connection() { return bus_.connection(); }
    std::optional<bool> readsMarkup() const { return readsMarkup_; }

private:
    void askCapabilities()
    {
        const unsigned question = ++question_;
        // Parented to the watcher, so no answer comes after this object is gone.
        auto* answer = new QDBusPendingCallWatcher(bus_.connection().asyncCall(notificationsCall(QStringLiteral("GetCapabilities"))),
                                                   &watcher_);
        QObject::connect(answer, &QDBusPendingCallWatcher::finished, answer, [this, question](QDBusPendingCallWatcher* call) {
            call->deleteLater();
            const QDBusPendingReply<QStringList> reply = *call;
            if (question != question_ || reply.isError()) return;
            readsMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
            qCDebug(noticesLog) << "the notification server reads" << (*readsMarkup_ ? "markup" : "plain text") << "in a body";
        });
    }

    BusConnection bus_{QDBusConnection::SessionBus};
    QDBusServiceWatcher watcher_;
    std::optional<bool> readsMarkup_;
    unsigned question_ = 0;
};

Notifier::Notifier(const AppIdentity& identity) : Notifier(identity, std::cout) {}

Notifier::Notifier(const AppIdentity& identity, std::ostream& out)
    : hasIdentity_(identity.present())
    , out_(&out)
{
}

Notifier::~Notifier() = default;

Notifier::Server* Notifier::server()
{
    if (!server_ || !server_->isConnected()) {
        server_.reset();
        auto server = std::make_unique<Server>();
        if (!server->isConnected()) return nullptr;
        server_ = std::move(server);
    }
    return server_.get();
}

std::optional<bool> Notifier::serverReadsMarkup() const
{
    return server_ ? server_->readsMarkup() : std::nullopt;
}

void Notifier::askPermission()
{
    // Connecting asks the server what it can show; no more is needed.
    if (hasIdentity_) server();
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
    Server* const server = this->server();
    qCDebug(noticesLog).noquote() << (server ? "posting" : "no session bus; dropping") << shown.title;
    if (!server) return;
    // Until the server has said how it reads a body, it is taken to read markup, as every common
    // one does: on a plain-text one an escaped name looks odd, on a markup one an unescaped name
    // can put links and formatting into our notice.
    const bool markup = server->readsMarkup().value_or(true);
    // Without a server the call fails on its own; nobody waits for the answer.
    server->connection().asyncCall(notifyCall(shown.title, markup ? markupEscaped(shown.body) : shown.body, playSound_));
}

} // namespace vantorelle
