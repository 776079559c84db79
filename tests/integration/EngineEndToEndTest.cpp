// The engine on the real parts: a private pulseaudio daemon, UPower and the notification
// service from dbusmock, driven by a Qt event loop as in the application.
#include "RealEngineTest.h"
#include "support/platform/PipeWireSession.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace vantorelle {
namespace {

using namespace test;

using EngineEndToEndTest = RealEngineTest;

TEST_F(EngineEndToEndTest, FirstRunSeedsTheStacksWithTheCurrentDefaultFirstAndPostsNothing)
{
    ASSERT_TRUE(daemon().addSource("builtin_mic", builtInMic));
    ASSERT_TRUE(daemon().addSource("usb_mic", usbMic));
    ASSERT_TRUE(daemon().addSink("speakers", speakers));
    ASSERT_TRUE(daemon().setDefaultSource("usb_mic"));
    ASSERT_TRUE(daemon().setDefaultSink("speakers"));

    startEngine(false);
    const StoredSettings saved = savedSettings();
    ASSERT_EQ(saved.inputPriority.size(), 2u);
    EXPECT_EQ(saved.inputPriority[0], (SavedDevice{"usb_mic", "USB Microphone"}));
    EXPECT_EQ(saved.inputPriority[1], (SavedDevice{"builtin_mic", "Built-in Microphone"}));
    EXPECT_EQ(saved.outputPriority, (std::vector<SavedDevice>{{"speakers", "Laptop Speakers"}}));
    EXPECT_EQ(engine->defaultInputUID(), "usb_mic");
    pumpEvents(std::chrono::milliseconds(200));
    EXPECT_EQ(out.str(), "");
}

TEST_F(EngineEndToEndTest, PlugAndUnplugOfTheTopRankedMicrophoneSwitchAndAnnounce)
{
    ASSERT_TRUE(daemon().addSource("builtin_mic", builtInMic));
    ASSERT_TRUE(daemon().addSink("speakers", speakers));
    StoredSettings settings;
    settings.inputPriority = {{"usb_mic", "USB Microphone"}, {"builtin_mic", "Built-in Microphone"}};
    writeSettings(settings);
    startEngine(false);
    ASSERT_TRUE(waitForDefault(Direction::input, "builtin_mic"));

    const auto module = daemon().addSource("usb_mic", usbMic);
    ASSERT_TRUE(module);
    EXPECT_TRUE(waitForDefault(Direction::input, "usb_mic"));
    EXPECT_TRUE(waitForOutput("[notification] Input switched: USB Microphone connected \u2014 now active\n"));

    ASSERT_TRUE(daemon().unload(*module));
    EXPECT_TRUE(waitForDefault(Direction::input, "builtin_mic"));
    EXPECT_TRUE(waitForOutput("[notification] Input switched: USB Microphone disconnected \u2014 "
                              "Built-in Microphone is now active\n"));
    // The unplugged microphone keeps its seat.
    EXPECT_EQ(savedSettings().inputPriority.at(0).uid, "usb_mic");
}

TEST_F(EngineEndToEndTest, TheLidMovesInputOffTheBuiltInMicrophoneAndBack)
{
    ASSERT_TRUE(daemon().addSource("builtin_mic", builtInMic));
    ASSERT_TRUE(daemon().addSource("usb_mic", usbMic));
    ASSERT_TRUE(daemon().addSink("speakers", speakers));
    StoredSettings settings;
    settings.inputPriority = {{"builtin_mic", "Built-in Microphone"}, {"usb_mic", "USB Microphone"}};
    writeSettings(settings);
    startEngine(false);
    ASSERT_TRUE(waitForDefault(Direction::input, "builtin_mic"));

    auto& bus = DBusServicesEnvironment::services();
    ASSERT_TRUE(bus.setLid(true, true));
    EXPECT_TRUE(waitForDefault(Direction::input, "usb_mic"));
    EXPECT_TRUE(waitForOutput("[notification] Input switched: Lid closed \u2014 USB Microphone is now active\n"));
    EXPECT_TRUE(engine->lidClosed());

    ASSERT_TRUE(bus.setLid(true, false));
    EXPECT_TRUE(waitForDefault(Direction::input, "builtin_mic"));
    EXPECT_TRUE(waitForOutput("[notification] Input switched: Lid open \u2014 Built-in Microphone is now active\n")) << out.str();
    EXPECT_EQ(out.str().find("Output switched"), std::string::npos) << "the lid never touches output";
}

TEST_F(EngineEndToEndTest, NoticesReachTheNotificationServiceWhenInstalled)
{
    auto& bus = DBusServicesEnvironment::services();
    ASSERT_TRUE(bus.startNotifications());
    bus.clearCalls();
    ASSERT_TRUE(daemon().addSink("speakers", speakers));
    StoredSettings settings;
    settings.outputPriority = {{"usb_headphones", "USB Headphones"}, {"speakers", "Laptop Speakers"}};
    settings.notifyDeviceChange = true;
    settings.notifySound = true;
    writeSettings(settings);
    startEngine(true);
    ASSERT_TRUE(waitForDefault(Direction::output, "speakers"));

    ASSERT_TRUE(daemon().addSink("usb_headphones", headphones));
    ASSERT_TRUE(waitForDefault(Direction::output, "usb_headphones"));
    ASSERT_TRUE(bus.waitForCalls("Notify", 2));
    const auto notices = bus.notices();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].appName, "Vantorelle");
    EXPECT_EQ(notices[0].summary, "Output switched");
    EXPECT_EQ(notices[0].body, QString::fromUtf8("USB Headphones connected \u2014 now active"));
    EXPECT_EQ(notices[0].hints.value("sound-name").toString(), "message-new-instant");
    EXPECT_EQ(notices[1].summary, "Device connected");
    EXPECT_EQ(notices[1].body, "USB Headphones");
    EXPECT_EQ(out.str(), "") << "an installed program does not print notices";
}

TEST_F(EngineEndToEndTest, ASoundServerRestartEndsWithTheDefaultsReappliedFromTheStacks)
{
    const auto addDevices = [this] {
        return daemon().addSource("builtin_mic", builtInMic) && daemon().addSource("usb_mic", usbMic)
            && daemon().addSink("speakers", speakers)
            && daemon().addSink("usb_headphones", headphones);
    };
    ASSERT_TRUE(addDevices());
    StoredSettings settings;
    settings.inputPriority = {{"usb_mic", "USB Microphone"}, {"builtin_mic", "Built-in Microphone"}};
    settings.outputPriority = {{"usb_headphones", "USB Headphones"}, {"speakers", "Laptop Speakers"}};
    writeSettings(settings);
    startEngine(false);
    ASSERT_TRUE(waitForDefault(Direction::input, "usb_mic"));
    ASSERT_TRUE(waitForDefault(Direction::output, "usb_headphones"));

    ASSERT_TRUE(daemon().restart());
    // The new server comes up with its own devices and defaults of its choosing.
    ASSERT_TRUE(addDevices());
    EXPECT_TRUE(waitForDefault(Direction::input, "usb_mic"));
    EXPECT_TRUE(waitForDefault(Direction::output, "usb_headphones"));
    const StoredSettings saved = savedSettings();
    EXPECT_EQ(saved.inputPriority, settings.inputPriority) << "no entry lost or duplicated";
    EXPECT_EQ(saved.outputPriority, settings.outputPriority);
    pumpEvents(std::chrono::milliseconds(200));
    EXPECT_EQ(out.str(), "") << "a server that comes back brings no news";
}

TEST_F(EngineEndToEndTest, WithTheServersSwitchOnConnectModuleAPlugEndsOnTheStacksChoiceAndTheModuleIsNamed)
{
    ASSERT_TRUE(daemon().addSink("speakers", speakers));
    StoredSettings settings;
    settings.outputPriority = {{"speakers", "Laptop Speakers"}, {"usb_headphones", "USB Headphones"}};
    writeSettings(settings);
    const auto module = daemon().loadModule("module-switch-on-connect", {"ignore_virtual=no"});
    ASSERT_TRUE(module);
    startEngine(false);
    ASSERT_TRUE(waitForDefault(Direction::output, "speakers"));
    EXPECT_TRUE(waitUntil([&] { return engine->otherChooser() == OtherChooser::switchOnConnect; }));

    // The module makes the headphones the default; the stack puts the speakers back, once.
    ASSERT_TRUE(daemon().addSink("usb_headphones", headphones));
    ASSERT_TRUE(waitUntil([&] { return findByUid(engine->connected(), "usb_headphones").has_value(); }));
    EXPECT_TRUE(waitForDefault(Direction::output, "speakers"));
    pumpEvents(std::chrono::milliseconds(300));
    EXPECT_EQ(daemon().defaultSink(), "speakers");
    EXPECT_EQ(out.str(), "") << "a switch made and undid within one pass is no news";

    ASSERT_TRUE(daemon().unload(*module));
    EXPECT_TRUE(waitUntil([&] { return !engine->otherChooser(); }));

    // Loaded again while a device arrives and its pass is due: the module is still asked about.
    ASSERT_TRUE(daemon().addSink("dock_speakers", headphones));
    ASSERT_TRUE(daemon().loadModule("module-switch-on-connect", {"ignore_virtual=no"}));
    EXPECT_TRUE(waitUntil([&] { return engine->otherChooser() == OtherChooser::switchOnConnect; }));
    EXPECT_TRUE(waitForDefault(Direction::output, "speakers"));
}

TEST_F(EngineEndToEndTest, AServerThatAppearsLaterBringsNoNews)
{
    ASSERT_TRUE(daemon().kill());
    StoredSettings settings;
    settings.inputPriority = {{"usb_mic", "USB Microphone"}, {"builtin_mic", "Built-in Microphone"}};
    settings.notifyDeviceChange = true;
    writeSettings(settings);
    startEngine(false);
    ASSERT_TRUE(daemon().restart());
    ASSERT_TRUE(daemon().addSource("builtin_mic", builtInMic));
    ASSERT_TRUE(daemon().addSource("usb_mic", usbMic));
    EXPECT_TRUE(waitForDefault(Direction::input, "usb_mic"));
    pumpEvents(std::chrono::milliseconds(200));
    EXPECT_EQ(out.str(), "");
}

TEST_F(EngineEndToEndTest, ALidChangeWhileTheServerStallsIsAppliedOnceItAnswers)
{
    ASSERT_TRUE(daemon().addSource("builtin_mic", builtInMic));
    ASSERT_TRUE(daemon().addSource("usb_mic", usbMic));
    // The server remembers an earlier test's choice and would bring it back after the engine's
    // first look: a choice made elsewhere, which stands.
    ASSERT_TRUE(daemon().setDefaultSource("builtin_mic"));
    StoredSettings settings;
    settings.inputPriority = {{"builtin_mic", "Built-in Microphone"}, {"usb_mic", "USB Microphone"}};
    settings.notifyDeviceChange = true;
    writeSettings(settings);
    startEngine(false);
    ASSERT_TRUE(waitForDefault(Direction::input, "builtin_mic"));
    const std::vector<AudioDevice> before = engine->connected();

    ASSERT_TRUE(daemon().pause());
    // The thread the window runs on goes on turning meanwhile: nothing on it waits for the server.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
    });
    auto& bus = DBusServicesEnvironment::services();
    ASSERT_TRUE(bus.setLid(true, true)); // a call of the test's own, which blocks it meanwhile
    sinceTick.start();
    ticks.start(10);
    EXPECT_TRUE(waitUntil([this] { return engine->lidClosed(); }));
    pumpEvents(std::chrono::milliseconds(1200)); // longer than any answer may take
    ticks.stop();
    EXPECT_LT(longestGap, 400) << "a server that does not answer must not stall the event loop";
    EXPECT_EQ(engine->connected(), before) << "no answer is not \"no devices\"";
    EXPECT_EQ(engine->defaultInputUID(), "builtin_mic");
    ASSERT_TRUE(daemon().resume());

    EXPECT_TRUE(waitForDefault(Direction::input, "usb_mic"));
    EXPECT_TRUE(waitForOutput("[notification] Input switched: Lid closed \u2014 USB Microphone is now active\n"));
    EXPECT_EQ(out.str().find("Device removed"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("Device connected"), std::string::npos) << out.str();
}

TEST_F(EngineEndToEndTest, ABluetoothProfileChangeIsNoUnplugButADisconnectIs)
{
    PipeWireSession* const session = daemon().pipewire();
    if (!session) {
        GTEST_SKIP() << "a test PulseAudio daemon can make no card; its profile change, which comes "
                        "in one batch of events, is covered by the change filter's tests";
    }
    using Profile = PipeWireSession::BluetoothProfile;
    using namespace std::chrono_literals;
    ASSERT_TRUE(daemon().addSink("usb_dac", {{"device.description", "USB DAC"}, {"device.bus", "usb"}}));
    ASSERT_TRUE(daemon().addSource("usb_mic", usbMic));
    ASSERT_TRUE(session->addBluetoothCard("00:11:22:33:44:55", "WH Headset"));
    const std::string headset = "bluez:00:11:22:33:44:55:output";
    const std::string headsetMic = "bluez:00:11:22:33:44:55:input";
    StoredSettings settings;
    settings.outputPriority = {{headset, "WH Headset"}, {"usb_dac", "USB DAC"}};
    settings.inputPriority = {{headsetMic, "WH Headset"}, {"usb_mic", "USB Microphone"}};
    settings.notifyDeviceChange = true;
    writeSettings(settings);
    startEngine(false);
    const auto onHeadset = [&] {
        return waitUntil([&] {
            return engine->defaultUID(Direction::output) == headset
                && daemon().defaultSink() == QString("bluez_output.00_11_22_33_44_55.1");
        });
    };
    // Connected once the engine listens, so the engine has seen it.
    ASSERT_TRUE(session->setBluetoothProfile(Profile::a2dp));
    ASSERT_TRUE(onHeadset());
    ASSERT_TRUE(waitForOutput("[notification] Output switched: WH Headset connected \u2014 now active\n"
                              "[notification] Device connected: WH Headset\n"));
    out.str("");

    // WirePlumber makes the new profile's nodes 10 to 20 ms after removing the old ones, and
    // sometimes far later; meanwhile it moves the server's default to the next sink itself. A call
    // starts (the headset profile, with its microphone) and ends, after each gap: the microphone
    // takes over the input at the start and hands it back at the end.
    for (const auto& [profile, gap] : {std::pair{Profile::headsetHeadUnit, 15ms}, std::pair{Profile::a2dp, 15ms},
                                       std::pair{Profile::headsetHeadUnit, 300ms}, std::pair{Profile::a2dp, 300ms}}) {
        const bool call = profile == Profile::headsetHeadUnit;
        SCOPED_TRACE(std::to_string(gap.count()) + (call ? " ms, call starts" : " ms, call ends"));
        ASSERT_TRUE(session->setBluetoothProfile(Profile::off));
        pumpEvents(gap);
        ASSERT_TRUE(session->setBluetoothProfile(profile));
        EXPECT_TRUE(onHeadset());
        EXPECT_TRUE(waitUntil([&] {
            return daemon().defaultSource() == (call ? "bluez_input.00_11_22_33_44_55.0" : "usb_mic")
                && engine->defaultUID(Direction::input) == (call ? headsetMic : "usb_mic");
        }));
        pumpEvents(400ms);
        EXPECT_TRUE(onHeadset());
        EXPECT_EQ(out.str(), "") << "a profile change is no unplug";
        EXPECT_EQ(savedSettings().outputPriority.front().uid, headset);
        EXPECT_EQ(savedSettings().inputPriority.front().uid, headsetMic);
    }

    // A profile that never comes (the headset turned "off") is a loss, once the wait is over.
    ASSERT_TRUE(session->setBluetoothProfile(Profile::off));
    EXPECT_TRUE(waitForDefault(Direction::output, "usb_dac"));
    EXPECT_TRUE(waitForOutput("[notification] Output switched: WH Headset disconnected \u2014 USB DAC is now active\n"
                              "[notification] Device removed: WH Headset\n"));
    ASSERT_TRUE(session->setBluetoothProfile(Profile::a2dp));
    ASSERT_TRUE(onHeadset());
    out.str("");

    ASSERT_TRUE(session->removeBluetoothCard());
    EXPECT_TRUE(waitForDefault(Direction::output, "usb_dac"));
    EXPECT_TRUE(waitForOutput("[notification] Output switched: WH Headset disconnected \u2014 USB DAC is now active\n"
                              "[notification] Device removed: WH Headset\n"));
}

} // namespace
} // namespace vantorelle
