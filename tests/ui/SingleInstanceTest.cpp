// One application per session: a second start hands over to the first and ends.
#include "UiTestSupport.h"

#include "support/platform/QtWait.h"
#include "ui/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

bool nameOwned()
{
    QDBusConnectionInterface* names = QDBusConnection::sessionBus().interface();
    return names != nullptr && names->isServiceRegistered(QString::fromLatin1(SingleInstance::serviceName)).value();
}

// The real program, on the private session bus, without a sound server and with its own
// configuration folder.
class ProgramRun {
public:
    explicit ProgramRun(const TempFolder& config)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pulse"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config.path().string()));
        process_.setProcessEnvironment(environment);
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process_.start(QStringLiteral(VANTORELLE_BINARY), {});
    }
    ~ProgramRun()
    {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    QProcess& process() { return process_; }
    bool finished(std::chrono::milliseconds timeout)
    {
        return waitUntil([&] { return process_.state() == QProcess::NotRunning; }, timeout);
    }

private:
    QProcess process_;
};

TEST(SingleInstance, TheFirstClaimWinsAndALaterOneIsRefused)
{
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
    int activations = 0;
    QObject::connect(&running, &SingleInstance::activationRequested, [&] { ++activations; });

    TempFolder config;
    ProgramRun second(config);
    ASSERT_TRUE(second.finished(20s));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_EQ(activations, 1);
    EXPECT_FALSE(std::filesystem::exists(config / "Vantorelle")) << "no settings store, so no engine, was made";
}

TEST(SingleInstance, TheRunningProgramAnswersALaterStart)
{
    ASSERT_TRUE(waitUntil([] { return !nameOwned(); })) << "left over from another test";
    TempFolder config;
    ProgramRun first(config);
    ASSERT_TRUE(waitUntil(nameOwned, 20s)) << first.process().readAllStandardError().toStdString();

    SingleInstance later(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("later")));
    EXPECT_FALSE(later.claim());
    EXPECT_TRUE(later.activateRunning());
    EXPECT_EQ(first.process().state(), QProcess::Running) << "the first keeps running";
    EXPECT_TRUE(std::filesystem::exists(config / "Vantorelle")) << "the first one built its engine";
}

} // namespace
} // namespace vantorelle::test
