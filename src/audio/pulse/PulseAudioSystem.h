#pragma once

#include "audio/AudioSystem.h"
#include "audio/pulse/LoopEvents.h"
#include "audio/pulse/MirrorConnection.h"
#include "audio/pulse/PulseAudioOptions.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle {

// The audio system as a PulseAudio (or pipewire-pulse) server presents it: each sink is an output
// device, each source an input device. Every read is answered from the connection's mirror of
// the server, without a round trip; a set is a request whose answer updates the mirror. Until
// the mirror's first look is complete, and while a headset is between two profiles, the device
// list is "no answer", never "no devices".
class PulseAudioSystem final : public AudioSystem {
public:
    // Follows the server on `loop` (the application's), reconnecting for as long as it lives.
    PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<pulse::EventLoop> loop,
                     pulse::DefaultsFeedFactory defaultsFeed = {});
    // One look on a private loop, waited for up to the options' query deadline: for the
    // reports, which ask once and never listen, and for a one-shot set, whose
    // whenSetsSettled() then waits (as long again at most) for the server's answer.
    static std::unique_ptr<PulseAudioSystem> snapshot(PulseAudioOptions options = {});
    ~PulseAudioSystem() override;
    PulseAudioSystem(const PulseAudioSystem&) = delete;
    PulseAudioSystem& operator=(const PulseAudioSystem&) = delete;

    std::optional<std::vector<RawDevice>> devices() override;
    std::optional<AudioObjectID> defaultDevice(Direction direction) override;
    bool setDefaultDevice(AudioObjectID id, Direction direction) override;
    std::optional<std::string> stringProperty(StringProperty property, AudioObjectID id) override;
    void startListening(std::function<void(bool quiet)> onDeviceListChange,
                        std::function<void()> onDefaultChange) override;
    void whenSetsSettled(std::function<void()> then) override;
    void requestResync() override;
    // The mirror is complete and subscribed: from here on no change is missed.
    bool isAnswering() override;

private:
    PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<pulse::EventLoop> loop, bool reconnects,
                     pulse::DefaultsFeedFactory defaultsFeed);

    std::unique_ptr<pulse::EventLoop> loop_;
    // A snapshot's own loop, which runs only while someone waits on it.
    pulse::BlockingLoop* snapshotLoop_ = nullptr;
    std::chrono::milliseconds snapshotDeadline_{0};
    // After the loop: released first.
    std::unique_ptr<pulse::MirrorConnection> connection_;
};

} // namespace vantorelle
