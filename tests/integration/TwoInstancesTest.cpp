// The real program on one session: two started at the same moment leave exactly one engine,
// and device commands and the desktop's shortcut keys reach the one that runs.
#include "support/platform/PulseTestSupport.h"
#include "store/SettingsJson.h"
#include "support/core/TempFolder.h"
#include "support/platform/ChildProcess.h"
#include "support/platform/DBusServices.h"
#include "support/platform/DesktopPortal.h"
#include "support/platform/QtWait.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QRegularExpression>

#include <array>
#include <tuple>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;

constexpr auto serviceName = "org.vantorelle.Vantorelle";

std::optional<uint> nameOwnerPid()
{
    QDBusConnectionInterface* names = QDBusConnection::sessionBus().interface();
    if (names == nullptr) return std::nullopt;
    const QDBusReply<uint> pid = names->servicePid(QString::fromLatin1(serviceName));
    if (!pid.isValid()) return std::nullopt;
    return pid.value();
}

// The running instance's published default output, or the error that stands in its way.
QString publishedOutput()
{
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(serviceName), QStringLiteral("/org/vantorelle/Vantorelle"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.vantorelle.Vantorelle") << QStringLiteral("DefaultOutput");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get);
    if (reply.type() == QDBusMessage::ErrorMessage) return reply.errorName() + reply.errorMessage();
    return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
}

// The sound server's clients that belong to process `pid`.
int pulseClientsOf(PulseDaemon& daemon, qint64 pid)
{
    const std::optional<QString> clients = daemon.pactl({"list", "clients"});
    if (!clients) return -1;
    const QRegularExpression property(QStringLiteral("application\\.process\\.id = \"%1\"").arg(pid));
    return static_cast<int>(clients->count(property));
}

using TwoInstancesTest = PulseDaemonSuite;

TEST_F(TwoInstancesTest, StartedTogetherExactlyOneStaysAndTheOtherEndsCleanly)
{
    ASSERT_TRUE(daemon().addSink("speakers", {{"device.description", "Laptop Speakers"}}));
    ASSERT_TRUE(waitUntil([] { return !nameOwnerPid(); })) << "left over from another test";
    // A few rounds, since which one wins is a race each time.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::array<TempFolder, 2> configs;
        ProgramRun first(configs[0]);
        ProgramRun second(configs[1]);
        first.start();
        second.start();
        ASSERT_TRUE(first.process().waitForStarted() && second.process().waitForStarted());
        const std::array<qint64, 2> pids{first.process().processId(), second.process().processId()};

        ASSERT_TRUE(waitUntil([&] { return !first.running() || !second.running(); }, 20s));
        test::pumpEvents(300ms); // the other one must not end as well
        ASSERT_NE(first.running(), second.running()) << "exactly one keeps running";
        ProgramRun& winner = first.running() ? first : second;
        ProgramRun& loser = first.running() ? second : first;
        const std::size_t winnerIndex = &winner == &first ? 0 : 1;
        EXPECT_EQ(loser.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(loser.process().exitCode(), 0);

        ASSERT_TRUE(waitUntil([&] { return nameOwnerPid().has_value(); }, 10s));
        EXPECT_EQ(nameOwnerPid(), static_cast<uint>(pids[winnerIndex]));
        // Only the winner built an engine: it alone wrote settings and talks to the sound server.
        EXPECT_TRUE(waitUntil([&] {
            return std::filesystem::exists(configs[winnerIndex] / "Vantorelle" / "settings.json");
        }, 10s));
        EXPECT_FALSE(std::filesystem::exists(configs[1 - winnerIndex] / "Vantorelle"));
        EXPECT_TRUE(waitUntil([&] { return pulseClientsOf(daemon(), pids[winnerIndex]) >= 1; }, 10s));
        EXPECT_EQ(pulseClientsOf(daemon(), pids[1 - winnerIndex]), 0);

        winner.process().terminate();
        ASSERT_TRUE(winner.process().waitForFinished(10000));
        ASSERT_TRUE(waitUntil([] { return !nameOwnerPid(); }, 10s));
    }
}

TEST_F(TwoInstancesTest, WithoutSessionBusTheRuntimeFolderLockKeepsItToOne)
{
    ASSERT_TRUE(daemon().addSink("speakers", {{"device.description", "Laptop Speakers"}}));
    const TempFolder runtime;
    std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
    const std::vector<std::pair<QString, QString>> noBus{
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QString::fromStdString((runtime / "no-bus").string())},
        {"XDG_RUNTIME_DIR", QString::fromStdString(runtime.path().string())}};
    std::array<TempFolder, 2> configs;
    ProgramRun first(configs[0], noBus);
    first.start();
    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(configs[0] / "Vantorelle" / "settings.json"); }, 10s));

    ProgramRun second(configs[1], noBus);
    second.start();
    ASSERT_TRUE(second.finished(10s));
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(first.running());
    EXPECT_FALSE(std::filesystem::exists(configs[1] / "Vantorelle"));

    // A lock left by a holder that died does not keep the next start out.
    first.process().kill();
    ASSERT_TRUE(first.finished(10s));
    ProgramRun third(configs[1], noBus);
    third.start();
    EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(configs[1] / "Vantorelle" / "settings.json"); }, 10s));
    EXPECT_TRUE(third.running());
}

TEST_F(TwoInstancesTest, DeviceCommandsGoToTheRunningInstanceElseStraightToTheServer)
{
    ASSERT_TRUE(waitUntil([] { return !nameOwnerPid(); })) << "left over from another test";
    ASSERT_TRUE(daemon().addSink("speakers", {{"device.description", "Laptop Speakers"}}));
    ASSERT_TRUE(daemon().addSink("phones", {{"device.description", "USB Headphones"}}));
    ASSERT_TRUE(daemon().setDefaultSink("speakers"));
    const TempFolder config;
    StoredSettings settings;
    settings.outputPriority = {{"speakers", "Laptop Speakers"}, {"phones", "USB Headphones", "Cans", false}};
    std::filesystem::create_directories(config / "Vantorelle");
    writeFile(config / "Vantorelle" / "settings.json", encodeSettings(settings));
    const auto command = [&config](const QStringList& arguments) {
        ProgramRun run(config);
        run.start(arguments);
        EXPECT_TRUE(run.finished(10s));
        return std::tuple(run.process().exitCode(), run.process().readAllStandardError().toStdString());
    };
    const auto defaultSink = [this] { return daemon().defaultSink().value_or(QString()).toStdString(); };

    // No instance runs: the server is told directly.
    EXPECT_EQ(command({"--select-output", "CANS"}), std::tuple(0, std::string()));
    EXPECT_EQ(defaultSink(), "phones");
    EXPECT_EQ(command({"--next-output"}), std::tuple(0, std::string()));
    EXPECT_EQ(defaultSink(), "speakers") << "wraps to the top";
    EXPECT_EQ(command({"--select-output", "Telly"}),
              std::tuple(2, std::string("vantorelle: \"Telly\" names no connected output device; candidates: "
                                        "Laptop Speakers [speakers], Cans [phones]\n")));
    EXPECT_EQ(std::get<0>(command({"--select-output"})), 2);
    EXPECT_FALSE(nameOwnerPid()) << "a command never starts the window";

    // The running instance makes the choice and tells it.
    auto& bus = DBusServicesEnvironment::services();
    ASSERT_TRUE(bus.startNotifications());
    ProgramRun running(config);
    running.start({"--background"});
    ASSERT_TRUE(waitUntil([] { return nameOwnerPid().has_value(); }, 20s));
    // Its engine has had its first look once it publishes the default.
    ASSERT_TRUE(waitUntil([&] { return publishedOutput() == QStringLiteral("speakers"); }, 10s))
        << publishedOutput().toStdString() << running.process().readAllStandardError().toStdString();
    EXPECT_EQ(command({"--next-output"}), std::tuple(0, std::string()));
    ASSERT_TRUE(waitUntil([&] { return defaultSink() == "phones"; }, 10s));
    EXPECT_TRUE(waitUntil([&] {
        const std::vector<ReceivedNotice> notices = bus.notices();
        return std::ranges::any_of(notices, [](const ReceivedNotice& notice) {
            return notice.summary == QStringLiteral("Output switched") && notice.body == QStringLiteral("Cans is now active");
        });
    }, 10s)) << bus.notices().size();
}

// KDE's portal backend takes the shortcuts only from the session's creation and its accelerator
// daemon presses them; each press is one step down the stack.
TEST_F(TwoInstancesTest, ShortcutKeysOfTheDesktopPortalSwitchOncePerPress)
{
    ASSERT_TRUE(waitUntil([] { return !nameOwnerPid(); })) << "left over from another test";
    DesktopPortal portal(DBusServicesEnvironment::services().sessionServiceFolder());
    ASSERT_TRUE(portal.start()) << "xdg-desktop-portal, xdg-desktop-portal-kde and KDE's accelerator daemon are installed";
    ASSERT_TRUE(daemon().addSink("speakers", {{"device.description", "Laptop Speakers"}}));
    ASSERT_TRUE(daemon().addSink("phones", {{"device.description", "USB Headphones"}}));
    ASSERT_TRUE(daemon().addSink("telly", {{"device.description", "HDMI"}}));
    ASSERT_TRUE(daemon().addSource("mic", {{"device.description", "Laptop Microphone"}}));
    ASSERT_TRUE(daemon().addSource("headset", {{"device.description", "USB Headset"}}));
    ASSERT_TRUE(daemon().setDefaultSink("speakers"));
    ASSERT_TRUE(daemon().setDefaultSource("mic"));
    const TempFolder config;
    StoredSettings settings;
    settings.outputPriority = {{"speakers", "Laptop Speakers"}, {"phones", "USB Headphones"}, {"telly", "HDMI"}};
    settings.inputPriority = {{"mic", "Laptop Microphone"}, {"headset", "USB Headset"}};
    std::filesystem::create_directories(config / "Vantorelle");
    writeFile(config / "Vantorelle" / "settings.json", encodeSettings(settings));

    ProgramRun running(config);
    running.start({"--background"});
    ASSERT_TRUE(waitUntil([&] { return publishedOutput() == QStringLiteral("speakers"); }, 20s))
        << publishedOutput().toStdString() << running.process().readAllStandardError().toStdString();
    // Plasma 5's backend names the component after the application, Plasma 6's after the session's token.
    QString component;
    ASSERT_TRUE(waitUntil([&] {
        for (const QString& known : portal.components()) {
            if (known.endsWith(QStringLiteral("vantorelle"))) component = known;
        }
        return !component.isEmpty();
    }, 20s)) << "the accelerator daemon knows " << portal.components().join(QLatin1Char(' ')).toStdString();
    const auto names = [&] {
        QStringList names = portal.shortcutNames(component);
        names.sort();
        return names.join(QLatin1Char(' ')).toStdString();
    };
    ASSERT_TRUE(waitUntil([&] { return names() == "next-input next-output"; }, 20s))
        << "the accelerator daemon knows " << portal.components().join(QLatin1Char(' ')).toStdString() << " with " << names();

    // A press that switched twice would skip a device, and the wait for the next would fail.
    const auto defaultSink = [this] { return daemon().defaultSink().value_or(QString()).toStdString(); };
    for (const std::string expected : {"phones", "telly", "speakers"}) {
        ASSERT_TRUE(portal.press(component, QStringLiteral("next-output")));
        ASSERT_TRUE(waitUntil([&] { return defaultSink() == expected; }, 10s)) << expected << " after a press, got " << defaultSink();
    }
    ASSERT_TRUE(portal.press(component, QStringLiteral("next-input")));
    EXPECT_TRUE(waitUntil([&] { return daemon().defaultSource() == QStringLiteral("headset"); }, 10s));
    EXPECT_EQ(defaultSink(), "speakers");
}

} // namespace
} // namespace vantorelle::test
