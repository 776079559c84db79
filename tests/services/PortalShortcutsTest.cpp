// The global shortcuts against what the real portal (tests/integration) cannot show: other
// backends' answers, from a stand-in of the desktop portal on the private session bus written
// from the portal's published interface: requests answered by Response signals on request
// objects, a session, and the Activated and ShortcutsChanged signals.
#include "services/PortalShortcuts.h"
#include "services/DBusStructure.h"
#include "support/platform/QtWait.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace vantorelle::test {
namespace {

using Shortcuts = std::vector<std::pair<QString, QString>>; // id and description

// What a backend answers with: the shortcuts it lists, or no list at all.
struct Backend {
    const char* name;
    std::optional<bool> listsOnCreate; // nothing: no list; false: an empty one; true: the ones sent
    std::optional<bool> listsOnBind;
    bool bound;
};

class PortalStandIn final : public QDBusVirtualObject {
public:
    explicit PortalStandIn(const Backend& backend)
        : backend_(backend)
        , bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal")))
    {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
    }
    ~PortalStandIn() override
    {
        bus_.unregisterObject(QString::fromLatin1(PortalShortcuts::portalPath));
        bus_.unregisterService(QString::fromLatin1(PortalShortcuts::portalService));
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    }

    bool start()
    {
        return bus_.registerVirtualObject(QString::fromLatin1(PortalShortcuts::portalPath), this)
            && bus_.registerService(QString::fromLatin1(PortalShortcuts::portalService));
    }

    void emitSignal(const QString& name, const QVariantList& arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(PortalShortcuts::portalPath),
                                                         QString::fromLatin1(PortalShortcuts::shortcutsInterface), name);
        signal.setArguments(arguments);
        bus_.send(signal);
    }
    void activate(const QString& session, const QString& shortcut)
    {
        emitSignal(QStringLiteral("Activated"), {QVariant::fromValue(QDBusObjectPath(session)), shortcut, qulonglong(0), QVariantMap()});
    }
    // ShortcutsChanged for `session`, listing the shortcuts received, or none.
    void change(const QString& session, bool listed)
    {
        emitSignal(QStringLiteral("ShortcutsChanged"), {QVariant::fromValue(QDBusObjectPath(session)), shortcutList(listed)});
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() != QLatin1String(PortalShortcuts::shortcutsInterface)) return false;
        const QVariantList arguments = message.arguments();
        QVariantMap options;
        arguments.value(arguments.size() - 1).value<QDBusArgument>() >> options;
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + QLatin1Char('/')
            + options.value(QStringLiteral("handle_token")).toString();
        QVariantMap results;
        std::optional<bool> listed;
        if (message.member() == QLatin1String("CreateSession")) {
            session = QStringLiteral("/org/freedesktop/portal/desktop/session/") + sender + QLatin1Char('/')
                + options.value(QStringLiteral("session_handle_token")).toString();
            results.insert(QStringLiteral("session_handle"), session);
            created = read(options.value(QStringLiteral("shortcuts")));
            listed = backend_.listsOnCreate;
        } else if (message.member() == QLatin1String("BindShortcuts")) {
            boundSession = arguments.value(0).value<QDBusObjectPath>().path();
            bound = read(arguments.value(1));
            listed = backend_.listsOnBind;
        } else {
            return false;
        }
        if (listed) results.insert(QStringLiteral("shortcuts"), shortcutList(*listed));
        QDBusConnection(connection).send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response =
            QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0u << results;
        QDBusConnection(connection).send(response);
        return true;
    }

    QString session;
    QString boundSession;
    Shortcuts created; // sent with CreateSession
    Shortcuts bound;   // sent with BindShortcuts

private:
    static Shortcuts read(const QVariant& value)
    {
        Shortcuts shortcuts;
        for (const PortalShortcut& shortcut : qdbus_cast<QList<PortalShortcut>>(value.value<QDBusArgument>())) {
            shortcuts.emplace_back(shortcut.id, shortcut.properties.value(QStringLiteral("description")).toString());
        }
        return shortcuts;
    }

    // The a(sa{sv}) a portal answers with: the shortcuts sent to it, or an empty list.
    QVariant shortcutList(bool listed) const
    {
        QList<PortalShortcut> list;
        for (const auto& [id, description] : listed ? created : Shortcuts()) {
            list.push_back({id, {{QStringLiteral("description"), description}}});
        }
        return QVariant::fromValue(list);
    }

    Backend backend_;
    QDBusConnection bus_;
};

TEST(PortalShortcuts, WithoutAPortalNothingHappensAndNothingFails)
{
    PortalShortcuts shortcuts(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("alone")));
    shortcuts.start();
    ASSERT_TRUE(waitUntil([&] { return shortcuts.isSettled(); }));
    EXPECT_FALSE(shortcuts.isBound());
}

TEST(PortalShortcuts, BoundOnlyWhereAnAnswerListsTheShortcuts)
{
    const Shortcuts ours{{"next-output", "Next output"}, {"next-input", "Next input"}};
    const Backend backends[] = {
        {"binds them when asked to bind", std::nullopt, true, true},
        {"takes them at the session's creation", true, true, true},
        {"answers the bind with an empty list", std::nullopt, false, false},
        {"lists them at creation, not at the bind", true, std::nullopt, false},
    };
    for (const Backend& backend : backends) {
        SCOPED_TRACE(backend.name);
        PortalStandIn portal(backend);
        ASSERT_TRUE(portal.start());
        PortalShortcuts shortcuts(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("shortcuts")));
        shortcuts.start();
        ASSERT_TRUE(waitUntil([&] { return shortcuts.isSettled(); }));
        EXPECT_EQ(shortcuts.isBound(), backend.bound);
        EXPECT_EQ(shortcuts.session(), portal.session);
        EXPECT_EQ(portal.boundSession, portal.session);
        EXPECT_EQ(portal.created, ours);
        EXPECT_EQ(portal.bound, ours);
        QDBusConnection::disconnectFromBus(QStringLiteral("shortcuts"));
    }
}

TEST(PortalShortcuts, FollowTheirSessionsChangesAndActivations)
{
    PortalStandIn portal({"binds them when asked to bind", std::nullopt, true, true});
    ASSERT_TRUE(portal.start());
    PortalShortcuts shortcuts(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("shortcuts")));
    std::vector<Direction> pressed;
    shortcuts.onNext = [&pressed](Direction direction) { pressed.push_back(direction); };
    shortcuts.start();
    ASSERT_TRUE(waitUntil([&] { return shortcuts.isSettled(); }));
    ASSERT_TRUE(shortcuts.isBound());

    const QString another = portal.session + QStringLiteral("x");
    portal.change(another, false);
    portal.change(portal.session, false);
    ASSERT_TRUE(waitUntil([&] { return !shortcuts.isBound(); })) << "the desktop dropped them";
    portal.change(another, true);
    portal.change(portal.session, true);
    ASSERT_TRUE(waitUntil([&] { return shortcuts.isBound(); })) << "the user gave them keys again";

    portal.activate(another, QStringLiteral("next-output"));
    portal.activate(portal.session, QStringLiteral("unknown"));
    portal.activate(portal.session, QStringLiteral("next-input"));
    portal.activate(portal.session, QStringLiteral("next-output"));
    ASSERT_TRUE(waitUntil([&] { return pressed.size() >= 2; }));
    EXPECT_EQ(pressed, (std::vector<Direction>{Direction::input, Direction::output}));
}

} // namespace
} // namespace vantorelle::test
