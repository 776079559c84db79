// One application per session: a second start hands over to the first and ends.
#include "UiTestSupport.h"

#include "support/platform/ChildProcess.h"
#include "support/platform/QtWait.h"
#include "ui/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

bool nameOwned()
{
    QDBusConnectionInterface* names = QDBusConnection::sessionBus().interface();
    return names != nullptr && names->isServiceRegistered(QString::fromLatin1(SingleInstance::serviceName)).value();
}

// The real program runs on the private session bus, without a sound server.
std::vector<std::pair<QString, QString>> withoutSoundServer()
{
    return {{QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pulse")}};
}

TEST(SingleInstance, TheFirstClaimWinsAndALaterOneIsRefused)
{
    ASSERT_TRUE(waitUntil([] { return !nameOwned(); })) << "left over from another test";
    SingleInstance first(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("first")));
    SingleInstance second(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second")));
    ASSERT_TRUE(first.claim());
    EXPECT_TRUE(first.claim()) << "claiming again is harmless";
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(nameOwned());
}

TEST(SingleInstance, WithoutASessionBusEveryProcessRunsOnItsOwn)
{
    SingleInstance lonely(QDBusConnection(QStringLiteral("not connected")));
    EXPECT_TRUE(lonely.claim());
    EXPECT_FALSE(lonely.activateRunning());
}

TEST(SingleInstance, ASecondStartBringsTheRunningWindowForwardAndExitsWithoutAnEngine)
{
    ASSERT_TRUE(waitUntil([] { return !nameOwned(); })) << "left over from another test";
    SingleInstance running(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("running")));
    ASSERT_TRUE(running.claim());
    QStringList tokens;
    QObject::connect(&running, &SingleInstance::activationRequested, [&](const QString& token) { tokens << token; });

    TempFolder config;
    auto environment = withoutSoundServer();
    // As a Wayland launcher starts it; the activation token wins over the older startup id.
    environment.emplace_back(QStringLiteral("XDG_ACTIVATION_TOKEN"), QStringLiteral("launcher-token"));
    environment.emplace_back(QStringLiteral("DESKTOP_STARTUP_ID"), QStringLiteral("x11-id"));
    ProgramRun second(config, environment);
    second.start();
    ASSERT_TRUE(second.finished(20s));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_EQ(tokens, QStringList{QStringLiteral("launcher-token")});
    // The older argument-less call still works, without a token; asynchronous, as it is answered here.
    QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("older"))
        .asyncCall(QDBusMessage::createMethodCall(QString::fromLatin1(SingleInstance::serviceName),
                                                  QString::fromLatin1(SingleInstance::objectPath),
                                                  QStringLiteral("org.vantorelle.Vantorelle"), QStringLiteral("Activate")));
    ASSERT_TRUE(waitUntil([&] { return tokens.size() == 2; }));
    EXPECT_EQ(tokens.last(), QString());
    EXPECT_FALSE(std::filesystem::exists(config / "Vantorelle")) << "no settings store, so no engine, was made";
}

TEST(SingleInstance, TheRunningProgramAnswersALaterStart)
{
    ASSERT_TRUE(waitUntil([] { return !nameOwned(); })) << "left over from another test";
    TempFolder config;
    ProgramRun first(config, withoutSoundServer());
    first.start();
    ASSERT_TRUE(waitUntil(nameOwned, 20s)) << first.process().readAllStandardError().toStdString();

    SingleInstance later(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("later")));
    EXPECT_FALSE(later.claim());
    EXPECT_TRUE(later.activateRunning());
    EXPECT_EQ(first.process().state(), QProcess::Running) << "the first keeps running";
    EXPECT_TRUE(std::filesystem::exists(config / "Vantorelle")) << "the first one built its engine";
}

} // namespace
} // namespace vantorelle::test
