#pragma once

#include "audio/pipewire/PipeWireDefaults.h"
#include "audio/pulse/PulseAudioSystem.h"
#include "audio/pulse/QtMainloop.h"
#include "support/platform/ChildProcess.h"
#include "support/platform/PulseDaemon.h"
#include "support/platform/QtWait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle::test {

inline std::optional<AudioDevice> findByUid(const std::vector<AudioDevice>& devices,
                                            const std::string& uid)
{
    const auto found = std::find_if(devices.begin(), devices.end(),
                                    [&uid](const AudioDevice& device) { return device.uid == uid; });
    if (found == devices.end()) return std::nullopt;
    return *found;
}

// The backend as the application has it: following the server on the Qt loop.
inline std::unique_ptr<PulseAudioSystem> makeSystem(PulseAudioOptions options = {})
{
    return std::make_unique<PulseAudioSystem>(std::move(options), pulse::makeQtMainloop(),
                                              pipewire::PipeWireDefaults::factory());
}

// Such a backend, once its first look at the server is in.
inline std::unique_ptr<PulseAudioSystem> makeReadySystem(PulseAudioOptions options = {})
{
    auto system = makeSystem(std::move(options));
    waitUntil([&system] { return system->isReady(); });
    return system;
}

// The usable devices, or none while the backend does not answer.
inline std::vector<AudioDevice> connectedDevices(const AudioSystem& system)
{
    return system.devices().value_or(std::vector<AudioDevice>{});
}

inline std::optional<std::string> defaultUID(const AudioSystem& system, Direction direction)
{
    return system.defaults().value_or(SystemDefaults{}).uid(direction);
}

// Counts the events a backend delivers.
struct CountingListener final : AudioSystem::Listener {
    void deviceListChanged(bool) override { ++deviceListChanges; }
    void defaultChanged() override { ++defaultChanges; }
    void streamsChanged() override { ++streamChanges; }
    int deviceListChanges = 0;
    int streamChanges = 0;
    int defaultChanges = 0;
};

// An application's stream on the test's server, as pacat makes one: playing silence (or
// recording into nothing) for as long as the object lives.
class TestStream {
public:
    // `extra`: more pacat options.
    TestStream(const QString& application, const QString& role, Direction direction = Direction::output,
               const QString& device = {}, const QStringList& extra = {})
    {
        diesWithTests(process_);
        QStringList arguments{direction == Direction::input ? "--record" : "--playback", "--client-name=" + application};
        if (!role.isEmpty()) arguments << "--property=media.role=" + role;
        if (!device.isEmpty()) arguments << "--device=" + device;
        arguments << extra;
        arguments << (direction == Direction::input ? "/dev/null" : "/dev/zero");
        process_.start("pacat", arguments);
    }
    ~TestStream() { endProcess(process_); }
    TestStream(const TestStream&) = delete;
    TestStream& operator=(const TestStream&) = delete;

private:
    QProcess process_;
};

// The stream of `application` as the backend shows it, once there.
inline std::optional<AudioStream> findStream(const AudioSystem& system, const std::string& application)
{
    for (const AudioStream& stream : system.streams()) {
        if (stream.application == application) return stream;
    }
    return std::nullopt;
}

// Waits for the stream of `application` to show on the device `uid`; a failure says where it is.
inline ::testing::AssertionResult waitForStreamOn(const AudioSystem& system, const std::string& application,
                                                  const std::string& uid,
                                                  std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto place = [&] {
        const std::optional<AudioStream> stream = findStream(system, application);
        return stream ? stream->deviceUID : std::string("(no stream)");
    };
    if (waitUntil([&] { return place() == uid; }, timeout)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << application << "'s stream is on " << place();
}

// One private daemon for every test of a suite; each test unloads what it loaded.
class PulseDaemonSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { daemon_ = std::make_unique<PulseDaemon>(); }
    static void TearDownTestSuite() { daemon_.reset(); }
    void SetUp() override { ASSERT_TRUE(daemon_->isRunning()) << "no private pulseaudio daemon"; }
    void TearDown() override { daemon_->unloadAll(); }

    static PulseDaemon& daemon() { return *daemon_; }

private:
    static inline std::unique_ptr<PulseDaemon> daemon_;
};

} // namespace vantorelle::test
