// One application per session: a second start hands over to the first and ends.
#include "UiTestSupport.h"

#include "support/core/EngineFixture.h"
#include "support/platform/ChildProcess.h"
#include "services/InstanceBus.h"
#include "support/platform/QtWait.h"
#include "ui/EngineBusInterface.h"
#include "ui/SingleInstance.h"

#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>

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
    return names != nullptr && names->isServiceRegistered(QString::fromLatin1(instanceBus::service)).value();
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
        .asyncCall(QDBusMessage::createMethodCall(QString::fromLatin1(instanceBus::service),
                                                  QString::fromLatin1(instanceBus::path),
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

// What the instance announces of its properties.
class PropertiesRecorder : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
public Q_SLOTS:
    void record(const QString& interface, const QVariantMap& changed, const QStringList&)
    {
        if (interface == QLatin1String("org.vantorelle.Vantorelle")) changes << changed;
    }
};

TEST(SingleInstance, ItsInterfaceFollowsTheDefaultsAndChoosesByHand)
{
    ASSERT_TRUE(waitUntil([] { return !nameOwned(); })) << "left over from another test";
    SingleInstance running(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("served")));
    ASSERT_TRUE(running.claim());
    FakeEngineParts parts;
    StoredSettings stored;
    stored.outputPriority = {{"spk", "Speakers", "Desk"}, {"hs", "USB Headset"}};
    PriorityStore(parts.folder.path()).save(stored);
    parts.audio.add(FakeAudioSystem::device(2, "spk", "Speakers", false, true));
    parts.audio.add(FakeAudioSystem::device(4, "hs", "USB Headset", false, true));
    parts.audio.defaultOutput = "spk";
    const std::shared_ptr<SwitchEngine> engine = parts.makeEngine();
    engine->start();
    running.busInterface().serve(*engine);

    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel"));
    PropertiesRecorder recorder;
    ASSERT_TRUE(client.connect(QString::fromLatin1(instanceBus::service), QString::fromLatin1(instanceBus::path),
                               QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                               &recorder, SLOT(record(QString, QVariantMap, QStringList))));
    const auto call = [&client](const QString& interface, const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(instanceBus::service),
                                                              QString::fromLatin1(instanceBus::path), interface, method);
        message.setArguments(arguments);
        // Answered by this very thread: wait without blocking it.
        QDBusPendingCall pending = client.asyncCall(message);
        waitUntil([&pending] { return pending.isFinished(); });
        return pending.reply();
    };
    const auto property = [&call](const char* name) {
        const QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {QStringLiteral("org.vantorelle.Vantorelle"), QString::fromLatin1(name)});
        return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
    };
    EXPECT_EQ(property("DefaultOutput"), QStringLiteral("spk"));
    EXPECT_EQ(property("DefaultOutputName"), QStringLiteral("Desk"));
    EXPECT_EQ(property("DefaultInput"), QString());

    // A change made elsewhere, as the system's sound settings would make it.
    parts.audio.defaultOutput = "hs";
    parts.audio.fireDefaultChange();
    ASSERT_TRUE(waitUntil([&] { return !recorder.changes.isEmpty(); }));
    EXPECT_EQ(recorder.changes.value(0), (QVariantMap{{QStringLiteral("DefaultOutput"), QStringLiteral("hs")},
                                                      {QStringLiteral("DefaultOutputName"), QStringLiteral("USB Headset")}}));

    const QString own = QStringLiteral("org.vantorelle.Vantorelle");
    EXPECT_EQ(call(own, QStringLiteral("Next"), {QStringLiteral("output")}).arguments().value(0), QStringLiteral("spk"));
    EXPECT_EQ(parts.audio.defaultOutput, "spk");
    ASSERT_TRUE(waitUntil([&] { return recorder.changes.size() == 2; }));
    ASSERT_EQ(parts.notifier.notices.size(), 1u);
    EXPECT_EQ(parts.notifier.notices[0].body, "Desk is now active") << "a choice by command is announced";

    EXPECT_EQ(call(own, QStringLiteral("Select"), {QStringLiteral("output"), QStringLiteral("usb headset")}).arguments().value(0),
              QStringLiteral("hs"));
    const QDBusMessage unknown = call(own, QStringLiteral("Select"), {QStringLiteral("output"), QStringLiteral("Telly")});
    EXPECT_EQ(unknown.errorName(), QString::fromLatin1(instanceBus::badNameError));
    EXPECT_EQ(unknown.errorMessage(),
              QStringLiteral("\"Telly\" names no connected output device; candidates: Desk [spk], USB Headset [hs]"));
    EXPECT_EQ(call(own, QStringLiteral("Next"), {QStringLiteral("sideways")}).errorName(),
              QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
}

} // namespace
} // namespace vantorelle::test

#include "SingleInstanceTest.moc"
#include "services/InstanceBus.h"
