// The global shortcuts against a stand-in of the desktop portal on the private session bus,
// written from the portal's published interface: requests answered by Response signals on
// request objects, a session, and Activated signals.
#include "services/PortalShortcuts.h"
#include "support/platform/QtWait.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vantorelle::test {
namespace {

class PortalStandIn final : public QDBusVirtualObject {
public:
    PortalStandIn() : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"))) {}
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

    void activate(const QString& session, const QString& shortcut)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(PortalShortcuts::portalPath),
                                                         QString::fromLatin1(PortalShortcuts::shortcutsInterface),
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << shortcut << qulonglong(0) << QVariantMap();
        bus_.send(signal);
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
        if (message.member() == QLatin1String("CreateSession")) {
            session = QStringLiteral("/org/freedesktop/portal/desktop/session/") + sender + QLatin1Char('/')
                + options.value(QStringLiteral("session_handle_token")).toString();
            results.insert(QStringLiteral("session_handle"), session);
        } else if (message.member() == QLatin1String("BindShortcuts")) {
            boundSession = arguments.value(0).value<QDBusObjectPath>().path();
            const QDBusArgument list = arguments.value(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                bound.emplace_back(id, properties.value(QStringLiteral("description")).toString());
            }
            list.endArray();
        } else {
            return false;
        }
        QDBusConnection(connection).send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response =
            QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0u << results;
        QDBusConnection(connection).send(response);
        return true;
    }

    QString session;
    QString boundSession;
    std::vector<std::pair<QString, QString>> bound;

private:
    QDBusConnection bus_;
};

TEST(PortalShortcuts, WithoutAPortalNothingHappensAndNothingFails)
{
    PortalShortcuts shortcuts(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("alone")));
    shortcuts.start();
    ASSERT_TRUE(waitUntil([&] { return shortcuts.isSettled(); }));
    EXPECT_FALSE(shortcuts.isBound());
}

TEST(PortalShortcuts, BothShortcutsAreBoundInOneSessionAndTheirActivationsFollow)
{
    PortalStandIn portal;
    ASSERT_TRUE(portal.start());
    PortalShortcuts shortcuts(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("shortcuts")));
    std::vector<Direction> pressed;
    shortcuts.onNext = [&pressed](Direction direction) { pressed.push_back(direction); };
    shortcuts.start();
    ASSERT_TRUE(waitUntil([&] { return shortcuts.isSettled(); }));
    ASSERT_TRUE(shortcuts.isBound());
    EXPECT_EQ(shortcuts.session(), portal.session);
    EXPECT_EQ(portal.boundSession, portal.session);
    EXPECT_EQ(portal.bound, (std::vector<std::pair<QString, QString>>{{"next-output", "Next output"}, {"next-input", "Next input"}}));

    portal.activate(portal.session + QStringLiteral("x"), QStringLiteral("next-output")); // another session's
    portal.activate(portal.session, QStringLiteral("unknown"));
    portal.activate(portal.session, QStringLiteral("next-input"));
    portal.activate(portal.session, QStringLiteral("next-output"));
    ASSERT_TRUE(waitUntil([&] { return pressed.size() >= 2; }));
    EXPECT_EQ(pressed, (std::vector<Direction>{Direction::input, Direction::output}));
}

} // namespace
} // namespace vantorelle::test
