#include "services/PortalShortcuts.h"

#include "services/DBusStructure.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QList>

namespace vantorelle {
namespace {

constexpr const char* requestInterface = "org.freedesktop.portal.Request";

QVariant ourShortcuts()
{
    //: A global shortcut's description in the desktop's settings: make the next output device the default.
    const QString nextOutput = QCoreApplication::translate("vantorelle::PortalShortcuts", "Next output");
    //: A global shortcut's description in the desktop's settings: make the next input device the default.
    const QString nextInput = QCoreApplication::translate("vantorelle::PortalShortcuts", "Next input");
    return QVariant::fromValue(QList<PortalShortcut>{
        {QString::fromLatin1(PortalShortcuts::outputShortcut), {{QStringLiteral("description"), nextOutput}}},
        {QString::fromLatin1(PortalShortcuts::inputShortcut), {{QStringLiteral("description"), nextInput}}},
    });
}

// An answer or a change that lists no shortcut binds none, whatever it says otherwise.
bool listsShortcuts(const QVariant& list)
{
    if (!list.canConvert<QDBusArgument>()) return false;
    return !qdbus_cast<QList<PortalShortcut>>(list.value<QDBusArgument>()).isEmpty();
}

} // namespace

PortalShortcuts::PortalShortcuts(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus))
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

void PortalShortcuts::start()
{
    if (step_ != Step::none || !bus_.isConnected()) return;
    // A program that is not sandboxed tells the portal which application it is, before any other
    // portal call; a portal without the registry answers with an error that changes nothing.
    QDBusMessage registration = QDBusMessage::createMethodCall(QString::fromLatin1(portalService), QString::fromLatin1(portalPath),
                                                               QStringLiteral("org.freedesktop.host.portal.Registry"),
                                                               QStringLiteral("Register"));
    registration << QStringLiteral("vantorelle") << QVariantMap();
    bus_.asyncCall(registration);
    listen(QStringLiteral("Activated"), SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    listen(QStringLiteral("ShortcutsChanged"), SLOT(shortcutsChanged(QDBusMessage)));
    QDBusMessage create = QDBusMessage::createMethodCall(QString::fromLatin1(portalService), QString::fromLatin1(portalPath),
                                                         QString::fromLatin1(shortcutsInterface), QStringLiteral("CreateSession"));
    request(create, {{QStringLiteral("session_handle_token"), QStringLiteral("vantorelle")}, {QStringLiteral("shortcuts"), ourShortcuts()}},
            Step::creating);
}

void PortalShortcuts::listen(const QString& signal, const char* slot)
{
    bus_.connect(QString::fromLatin1(portalService), QString::fromLatin1(portalPath), QString::fromLatin1(shortcutsInterface), signal,
                 this, slot);
}

void PortalShortcuts::request(QDBusMessage call, QVariantMap options, Step step)
{
    // The portal answers on /org/freedesktop/portal/desktop/request/SENDER/TOKEN; listening
    // there before the call leaves no gap for the answer to slip through.
    const QString token = QStringLiteral("vantorelle%1").arg(++tokens_);
    QString sender = bus_.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    pendingRequest_ = QString::fromLatin1(portalPath) + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    bus_.connect(QString::fromLatin1(portalService), pendingRequest_, QString::fromLatin1(requestInterface),
                 QStringLiteral("Response"), this, SLOT(responded(uint, QVariantMap, QDBusMessage)));
    options.insert(QStringLiteral("handle_token"), token);
    call << options;
    step_ = step;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *finished;
        if (reply.isError()) {
            // No portal, or one without global shortcuts: the desktop offers none.
            step_ = Step::done;
            return;
        }
        // Older portals answer on a path of their own making.
        const QString path = reply.value().path();
        if (path != pendingRequest_) {
            bus_.connect(QString::fromLatin1(portalService), path, QString::fromLatin1(requestInterface),
                         QStringLiteral("Response"), this, SLOT(responded(uint, QVariantMap, QDBusMessage)));
            pendingRequest_ = path;
        }
    });
}

void PortalShortcuts::responded(uint response, const QVariantMap& results, const QDBusMessage& message)
{
    if (message.path() != pendingRequest_) return;
    bus_.disconnect(QString::fromLatin1(portalService), pendingRequest_, QString::fromLatin1(requestInterface),
                    QStringLiteral("Response"), this, SLOT(responded(uint, QVariantMap, QDBusMessage)));
    pendingRequest_.clear();
    // 0 is success; the user may have cancelled (1) or it failed otherwise (2).
    if (response != 0) {
        step_ = Step::done;
        return;
    }
    bound_ = listsShortcuts(results.value(QStringLiteral("shortcuts")));
    if (step_ == Step::creating) {
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
        if (session_.isEmpty()) session_ = handle.toString();
        bind();
        return;
    }
    step_ = Step::done;
}

void PortalShortcuts::bind()
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(portalService), QString::fromLatin1(portalPath),
                                                       QString::fromLatin1(shortcutsInterface), QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << ourShortcuts() << QString();
    request(call, {}, Step::binding);
}

void PortalShortcuts::activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong, const QVariantMap&)
{
    if (session_.isEmpty() || session.path() != session_ || !onNext) return;
    if (shortcut == QLatin1String(outputShortcut)) onNext(Direction::output);
    else if (shortcut == QLatin1String(inputShortcut)) onNext(Direction::input);
}

void PortalShortcuts::shortcutsChanged(const QDBusMessage& message)
{
    const QVariantList arguments = message.arguments();
    if (session_.isEmpty() || arguments.size() != 2 || arguments.at(0).value<QDBusObjectPath>().path() != session_) return;
    bound_ = listsShortcuts(arguments.at(1));
}

} // namespace vantorelle
