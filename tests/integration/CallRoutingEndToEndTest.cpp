// Calls on a device of their own, with the engine on the real parts: the streams are pacat's, the
// moves the backend's, on the private PulseAudio or PipeWire server.
#include "RealEngineTest.h"

#include "support/platform/ChildProcess.h"

#include <QDir>
#include <QProcess>

#include <filesystem>
#include <fstream>
#include <string_view>

namespace vantorelle {
namespace {

using namespace test;
using namespace std::chrono_literals;

// One baresip, a call program as Debian has it, playing and recording through ALSA's pulse
// plug-in on the test's server; it answers calls by itself, or calls `dial` once up.
class Baresip {
public:
    Baresip(const std::filesystem::path& folder, int port, const QString& dial = {})
    {
        const QString home = QString::fromStdString(folder.string());
        QDir().mkpath(home);
        const QString address = "127.0.0.1:" + QString::number(port);
        writeFile(folder / "config", ("sip_listen " + address + "\n"
                                      "audio_player alsa,pulse\naudio_source alsa,pulse\naudio_alert alsa,pulse\n"
                                      "module_path /usr/lib/baresip/modules\n"
                                      "module g711.so\nmodule alsa.so\nmodule_app account.so\nmodule_app menu.so\n")
                                         .toStdString());
        writeFile(folder / "accounts", ("<sip:me@" + address + ">;regint=0;answermode=auto\n").toStdString());
        writeFile(folder / "contacts", "");
        diesWithTests(process_);
        QStringList arguments{"-4", "-f", home};
        if (!dial.isEmpty()) arguments << "-e" << "/dial " + dial;
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(home + "/log");
        process_.start("baresip", arguments);
    }
    ~Baresip() { endProcess(process_); }
    Baresip(const Baresip&) = delete;
    Baresip& operator=(const Baresip&) = delete;

private:
    QProcess process_;
};

class CallRoutingEndToEndTest : public RealEngineTest {
protected:
    void SetUp() override
    {
        RealEngineTest::SetUp();
        // As desktops have it: PulseAudio remembers streams' devices only with this module,
        // PipeWire's session manager always does.
        if (!daemon().isPipeWire()) {
            ASSERT_TRUE(daemon().loadModule("module-stream-restore", {"restore_device=true"}));
        }
        ASSERT_TRUE(daemon().addSink("speakers", speakers));
        ASSERT_TRUE(daemon().addSink("headphones", headphones));
        ASSERT_TRUE(daemon().setDefaultSink("speakers"));
        StoredSettings settings;
        settings.outputPriority = {{"speakers", "Laptop Speakers"}, {"headphones", "USB Headphones"}};
        settings.callsOutputPriority = {{"headset", "Headset"}, {"headphones", "USB Headphones"}};
        writeSettings(settings);
        startEngine(false);
        ASSERT_TRUE(waitForDefault(Direction::output, "speakers"));
        observer = makeReadySystem();
    }
    void TearDown() override
    {
        // The next test's first look must not find this one's streams still ending.
        EXPECT_TRUE(waitUntil([this] { return observer->streams().empty(); }));
        observer.reset();
        RealEngineTest::TearDown();
    }

    // Where a new stream of `application` starts, and stays for a while.
    std::string placeOfNext(const std::string& application)
    {
        if (!waitUntil([&] { return findStream(*observer, application).has_value(); })) return "(none)";
        pumpEvents(300ms);
        const std::optional<AudioStream> stream = findStream(*observer, application);
        return stream ? stream->deviceUID : "(gone)";
    }

    // The session manager's stored stream targets on PipeWire, one "key:target=node" line each
    // (WirePlumber 0.4 writes them so in restore-stream; 0.5 as a "target" member of the key's
    // JSON in stream-properties); empty on PulseAudio, whose memory the next call shows.
    std::string storedTargets() const
    {
        std::ifstream file(statePath());
        std::string result;
        for (std::string line; std::getline(file, line);) {
            if (line.find(":target=") != std::string::npos) {
                result += line + "\n";
                continue;
            }
            constexpr std::string_view member = "\"target\":\"";
            const std::size_t at = line.find(member);
            const std::size_t keyEnd = line.find('=');
            if (at == std::string::npos || keyEnd == std::string::npos) continue;
            const std::size_t begin = at + member.size();
            result += line.substr(0, keyEnd) + ":target=" + line.substr(begin, line.find('"', begin) - begin) + "\n";
        }
        return result;
    }
    std::filesystem::path statePath() const
    {
        const std::filesystem::path folder = std::filesystem::path(daemon().folder().toStdString()) / "state" / "wireplumber";
        return std::filesystem::exists(folder / "stream-properties") ? folder / "stream-properties" : folder / "restore-stream";
    }
    // The session manager writes its state a second after the last change: waits for a write
    // after `since`.
    bool stateWrittenAfter(std::filesystem::file_time_type since) const
    {
        if (!daemon().isPipeWire()) return true;
        return waitUntil([&] {
            std::error_code error;
            const auto written = std::filesystem::last_write_time(statePath(), error);
            return !error && written > since;
        }, std::chrono::seconds(5));
    }
    void waitForNoStreams() { ASSERT_TRUE(waitUntil([this] { return observer->streams().empty(); })); }

    std::unique_ptr<PulseAudioSystem> observer;
};

TEST_F(CallRoutingEndToEndTest, CallsGoToTheCallsStackAndNothingOfItRemains)
{
    const auto headset = daemon().addSink("headset", {{"device.description", "Headset"}, {"device.bus", "usb"}});
    ASSERT_TRUE(headset);
    engine->setRouteCalls(true, Direction::output);
    {
        const TestStream call("Meet", "phone");
        const TestStream music("Player", "");
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "headset"));
        EXPECT_EQ(placeOfNext("Player"), "speakers") << "other streams are never touched";
        EXPECT_EQ(engine->defaultUID(Direction::output), "speakers") << "a call changes no default";

        // The calls device goes mid-call: the next of the calls stack takes the call.
        ASSERT_TRUE(daemon().unload(*headset));
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "headphones"));

        // Routing off gives the call back to the default.
        engine->setRouteCalls(false, Direction::output);
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "speakers"));
    }
    ASSERT_TRUE(waitUntil([this] { return observer->streams().empty(); }));

    // Nothing of the moves remains: the application's next streams start on the default, and
    // with routing off nothing moves them.
    {
        const TestStream plain("Meet", "");
        EXPECT_EQ(placeOfNext("Meet"), "speakers");
    }
    ASSERT_TRUE(waitUntil([this] { return observer->streams().empty(); }));
    {
        const TestStream nextCall("Meet", "phone");
        EXPECT_EQ(placeOfNext("Meet"), "speakers");
    }
}

// A call already running when the program starts (at login), on the device the user once chose
// for calls by hand: routed as soon as the program can, told once, and the user's choice is what
// the server still keeps afterwards.
TEST_F(CallRoutingEndToEndTest, ACallRunningAtStartIsRoutedAndTheUsersOwnTargetStays)
{
    ASSERT_TRUE(daemon().addSink("headset", {{"device.description", "Headset"}, {"device.bus", "usb"}}));
    ASSERT_TRUE(daemon().addSink("dock", {{"device.description", "Dock"}, {"device.bus", "usb"}}));
    engine.reset();
    {
        const TestStream call("Meet", "phone");
        ASSERT_TRUE(waitForStreamOn(*observer, "Meet", "speakers"));
        // As a user would in a mixer.
        ASSERT_TRUE(daemon().pactl({"move-sink-input", QString::number(findStream(*observer, "Meet")->id), "dock"}));
        ASSERT_TRUE(waitForStreamOn(*observer, "Meet", "dock"));
    }
    waitForNoStreams();
    if (daemon().isPipeWire()) {
        ASSERT_TRUE(waitUntil([this] { return storedTargets().find("target=dock") != std::string::npos; }, 5s))
            << storedTargets();
    }
    const std::string usersOwn = storedTargets();

    StoredSettings settings = savedSettings();
    settings.routeCallsOutput = true;
    writeSettings(settings);
    {
        const TestStream call("Meet", "phone");
        ASSERT_TRUE(waitForStreamOn(*observer, "Meet", "dock")) << "the server gives the call the user's device";
        startEngine(false);
        EXPECT_TRUE(waitForStreamOn(*observer, "Meet", "headset"));
        const auto landed = std::filesystem::file_time_type::clock::now();
        EXPECT_TRUE(waitForOutput("Headset is used for this call"));
        EXPECT_TRUE(stateWrittenAfter(landed));
        EXPECT_EQ(storedTargets(), usersOwn) << "mid-call";

        // A stream that may not move stays where it is, untold.
        const TestStream stuck("Recorder", "phone", Direction::output, {}, {"--property=node.dont-reconnect=true"});
        EXPECT_EQ(placeOfNext("Recorder"), "dock");
    }
    waitForNoStreams();
    EXPECT_EQ(storedTargets(), usersOwn) << "after the call";
    engine.reset();
    {
        const TestStream next("Meet", "phone");
        EXPECT_EQ(placeOfNext("Meet"), "dock") << "the next call, with the program stopped";
    }
    const std::string told = out.str();
    EXPECT_EQ(told.find("used for this call"), told.rfind("used for this call")) << "told once: " << told;
}

// Two baresip instances calling each other: a program that says nothing of calls, known by its
// executable, recognised while it records and plays, all four streams moved together and told
// once per device; nothing of it stays in the server.
TEST_F(CallRoutingEndToEndTest, BaresipCallingItselfIsOneCallerMovedWholeAndToldOnce)
{
    ASSERT_TRUE(daemon().addSink("headset", {{"device.description", "Headset"}, {"device.bus", "usb"}}));
    ASSERT_TRUE(daemon().addSource("mic", builtInMic));
    ASSERT_TRUE(daemon().addSource("headset_mic", {{"device.description", "Headset Microphone"}, {"device.bus", "usb"}}));
    ASSERT_TRUE(daemon().setDefaultSource("mic"));
    engine.reset();
    const std::string before = storedTargets();
    StoredSettings settings = savedSettings();
    settings.routeCallsOutput = settings.routeCallsInput = true;
    settings.inputPriority = {{"mic", "Built-in Microphone"}, {"headset_mic", "Headset Microphone"}};
    settings.callsInputPriority = {{"headset_mic", "Headset Microphone"}};
    settings.callsApplications = {"baresip"};
    writeSettings(settings);
    startEngine(false);
    const auto onHeadset = [this](const AudioStream& stream) {
        return stream.deviceUID == (stream.direction == Direction::input ? "headset_mic" : "headset");
    };
    // Apart for each server, as both suites may run at once.
    const int port = daemon().isPipeWire() ? 25070 : 26070;
    {
        const Baresip answering(folder / "b", port + 10);
        const Baresip calling(folder / "a", port, "sip:me@127.0.0.1:" + QString::number(port + 10));
        // Each instance plays and records; how many streams it opens for that differs between
        // its versions (Debian 13's opens one capture for both).
        const bool moved = waitUntil([&] {
            const std::vector<AudioStream> streams = observer->streams();
            const auto in = [&streams](Direction direction) {
                return std::ranges::any_of(streams, [direction](const AudioStream& stream) { return stream.direction == direction; });
            };
            return streams.size() >= 3 && in(Direction::input) && in(Direction::output) && std::ranges::all_of(streams, onHeadset);
        }, 10s);
        std::string seen;
        for (const AudioStream& stream : observer->streams()) {
            seen += std::string(rawValue(stream.direction)) + " " + stream.caller() + " on " + stream.deviceUID + "; ";
        }
        const auto landed = std::filesystem::file_time_type::clock::now();
        EXPECT_TRUE(moved) << seen;
        EXPECT_TRUE(waitForOutput("Headset Microphone is used for this call"));
        EXPECT_TRUE(waitForOutput("Headset is used for this call"));
        EXPECT_TRUE(stateWrittenAfter(landed));
    }
    waitForNoStreams();
    EXPECT_EQ(storedTargets(), before);
    const std::string told = out.str();
    EXPECT_EQ(std::ranges::count(told, '\n'), 2) << told;
    engine.reset();
    {
        // The next stream of the same key, with the program stopped.
        const TestStream next("ALSA plug-in [baresip]", "");
        EXPECT_EQ(placeOfNext("ALSA plug-in [baresip]"), "speakers");
    }
}

} // namespace
} // namespace vantorelle
