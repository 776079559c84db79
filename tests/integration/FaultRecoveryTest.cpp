// The engine in its Qt loop while the services around it misbehave: UPower and the notification
// server going away and coming back, and a storm of plug and unplug events from another process.
#include "RealEngineTest.h"
#include "support/platform/PulseEventLog.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <algorithm>
#include <set>
#include <sstream>

namespace vantorelle {
namespace {

using namespace std::chrono_literals;
using namespace test;

using FaultRecoveryTest = RealEngineTest;

TEST_F(FaultRecoveryTest, UpowerAndTheNotificationServerComeBackWithoutARestart)
{
    ASSERT_TRUE(daemon().addSource("builtin_mic", builtInMic));
    ASSERT_TRUE(daemon().addSource("usb_mic", usbMic));
    ASSERT_TRUE(daemon().addSink("speakers", speakers));
    StoredSettings settings;
    settings.inputPriority = {{"builtin_mic", "Built-in Microphone"}, {"usb_mic", "USB Microphone"}};
    settings.outputPriority = {{"usb_headphones", "USB Headphones"}, {"speakers", "Laptop Speakers"}};
    settings.notifyDeviceChange = true;
    writeSettings(settings);
    auto& bus = DBusServicesEnvironment::services();
    ASSERT_TRUE(bus.startNotifications());
    bus.clearCalls();
    startEngine(true);
    ASSERT_TRUE(waitForDefault(Direction::input, "builtin_mic"));

    // The lid closes while UPower is away: nothing can be known until it is back, and then the
    // engine catches up by itself.
    bus.stopUpower();
    test::pumpEvents(100ms);
    EXPECT_FALSE(engine->lidClosed()) << "UPower going away says nothing about the lid";
    ASSERT_TRUE(bus.startUpower(true, true));
    EXPECT_TRUE(waitUntil([&] { return engine->lidClosed(); }));
    EXPECT_TRUE(waitForDefault(Direction::input, "usb_mic"));
    ASSERT_TRUE(bus.waitForCalls("Notify", 1));
    EXPECT_EQ(bus.notices().back().body, QString::fromUtf8("Lid closed \u2014 USB Microphone is now active"));

    // And the restarted UPower's own signals are followed.
    ASSERT_TRUE(bus.setLid(true, false));
    EXPECT_TRUE(waitForDefault(Direction::input, "builtin_mic"));

    // Notices posted while the notification server is gone are dropped without harm; once a new
    // one runs, the next notices reach it.
    bus.stopNotifications();
    const auto gone = daemon().addSink("usb_headphones", headphones);
    ASSERT_TRUE(gone);
    ASSERT_TRUE(waitForDefault(Direction::output, "usb_headphones"));
    ASSERT_TRUE(daemon().unload(*gone));
    ASSERT_TRUE(waitForDefault(Direction::output, "speakers"));
    ASSERT_TRUE(bus.startNotifications());
    bus.clearCalls();
    ASSERT_TRUE(daemon().addSink("usb_headphones", headphones));
    ASSERT_TRUE(waitForDefault(Direction::output, "usb_headphones"));
    ASSERT_TRUE(bus.waitForCalls("Notify", 2));
    const auto notices = bus.notices();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].summary, "Output switched");
    EXPECT_EQ(notices[1].summary, "Device connected");
    EXPECT_EQ(notices[1].body, "USB Headphones");
}

// Plug and unplug as fast as pactl goes, from another process, while the engine runs in this
// one's event loop. Ends with the top-ranked devices present.
TEST_F(FaultRecoveryTest, AStormOfPlugEventsEndsInTheRulesStateWithNoEntryLost)
{
    constexpr int cycles = 100; // one plug and one unplug each
    constexpr int transient = 5; // devices that come and go
    ASSERT_TRUE(daemon().addSource("builtin_mic", builtInMic));
    ASSERT_TRUE(daemon().addSink("speakers", speakers));
    StoredSettings settings;
    settings.inputPriority = {{"usb_mic", "USB Microphone"}, {"builtin_mic", "Built-in Microphone"}};
    settings.outputPriority = {{"usb_headphones", "USB Headphones"}, {"speakers", "Laptop Speakers"}};
    writeSettings(settings);
    startEngine(true);
    ASSERT_TRUE(waitForDefault(Direction::input, "builtin_mic"));
    ASSERT_TRUE(waitForDefault(Direction::output, "speakers"));

    // Each cycle plugs one device (the two ranked ones among them) and unplugs it again; at the
    // end the two ranked ones are plugged in and stay.
    const auto load = [this](const QString& name, bool input, const PulseProperties& properties) {
        QStringList arguments;
        if (input && !daemon().isPipeWire()) {
            arguments << "module-pipe-source" << "source_name=" + name
                      << "file=" + daemon().folder() + '/' + name + ".fifo"
                      << "source_properties=\"" + test::PulseDaemon::quotedProperties(properties) + '"';
        } else {
            arguments << "module-null-sink";
            if (input) arguments << "media.class=Audio/Source/Virtual";
            arguments << "sink_name=" + name
                      << "sink_properties=\"" + test::PulseDaemon::quotedProperties(properties) + '"';
        }
        QStringList quoted;
        for (const QString& argument : arguments) quoted << '\'' + QString(argument).replace("'", "'\\''") + '\'';
        return "timeout 5 pactl load-module " + quoted.join(' ');
    };
    QString script = "set -e\n";
    for (int i = 0; i < cycles; ++i) {
        const int which = i % (transient + 2);
        const bool input = which == transient || (which < transient && which % 2 == 0);
        const QString name = which == transient ? "usb_mic"
            : which == transient + 1            ? "usb_headphones"
                                                : QString("storm_%1").arg(which);
        const PulseProperties properties = which == transient ? usbMic
            : which == transient + 1                          ? headphones
                                                              : PulseProperties{{"device.bus", "usb"}};
        script += "m=$(" + load(name, input, properties) + ")\n";
        script += "timeout 5 pactl unload-module \"$m\"\n";
    }
    script += load("usb_mic", true, usbMic) + " >/dev/null\n";
    script += load("usb_headphones", false, headphones) + " >/dev/null\n";

    QProcess storm;
    storm.start("bash", {"-c", script});
    ASSERT_TRUE(storm.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return storm.state() == QProcess::NotRunning; }, 120s));
    ASSERT_EQ(storm.exitCode(), 0) << storm.readAllStandardError().toStdString();

    EXPECT_TRUE(waitForDefault(Direction::input, "usb_mic", 10s));
    EXPECT_TRUE(waitForDefault(Direction::output, "usb_headphones", 10s));

    // It settles: nothing sets a default once the events have stopped.
    test::PulseEventLog log;
    ASSERT_TRUE(log.sync());
    test::pumpEvents(500ms);
    ASSERT_TRUE(log.sync());
    EXPECT_EQ(log.count("on server"), 0) << log.lines().join('\n').toStdString();
    EXPECT_EQ(engine->defaultUID(Direction::input), "usb_mic");
    EXPECT_EQ(engine->defaultUID(Direction::output), "usb_headphones");

    // Every device entered its stacks exactly once, the ranked ones kept their seats, and the
    // file holds what the engine holds.
    const StoredSettings saved = savedSettings();
    EXPECT_EQ(saved.inputPriority, engine->settings().inputPriority);
    EXPECT_EQ(saved.outputPriority, engine->settings().outputPriority);
    const auto uids = [](const std::vector<SavedDevice>& stack) {
        std::vector<std::string> result;
        for (const SavedDevice& entry : stack) result.push_back(entry.uid);
        return result;
    };
    // A device that came and went between two looks of the engine is never seen, so which of
    // the transient ones entered, and in which order, depends on timing; each at most once, in
    // its own direction, below the ranked ones.
    const auto check = [&uids](const std::vector<SavedDevice>& stack, std::vector<std::string> top,
                               const std::set<std::string>& allowed) {
        const std::vector<std::string> all = uids(stack);
        ASSERT_GE(all.size(), top.size());
        EXPECT_TRUE(std::equal(top.begin(), top.end(), all.begin()));
        EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), all.size()) << "a duplicate";
        for (std::size_t i = top.size(); i < all.size(); ++i) EXPECT_TRUE(allowed.count(all[i])) << all[i];
    };
    check(saved.inputPriority, {"usb_mic", "builtin_mic"}, {"storm_0", "storm_2", "storm_4"});
    check(saved.outputPriority, {"usb_headphones", "speakers"}, {"storm_1", "storm_3"});
}

} // namespace
} // namespace vantorelle
