#pragma once

#include "audio/AudioSystem.h"
#include "audio/pulse/PulseAudioOptions.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle {

namespace pulse {
class PulseListener;
class PulseQueryConnection;
} // namespace pulse

// The audio system as a PulseAudio (or pipewire-pulse) server presents it: each sink is an output
// device, each source an input device. Queries block their caller for at most the query deadline
// and cost a fixed number of round trips however many devices there are, on a connection of
// their own. Works without a running Qt event loop; listening needs one on the owner's thread.
class PulseAudioSystem final : public AudioSystem {
public:
    explicit PulseAudioSystem(PulseAudioOptions options = {});
    ~PulseAudioSystem() override;
    PulseAudioSystem(const PulseAudioSystem&) = delete;
    PulseAudioSystem& operator=(const PulseAudioSystem&) = delete;

    // One round trip: the sink and source lists, requested together.
    std::vector<RawDevice> devices() override;
    // One round trip: the server's defaults and the direction's list, requested together.
    std::optional<AudioObjectID> defaultDevice(Direction direction) override;
    // One round trip to learn the device's name and the current default, and one more to set it
    // when it differs.
    bool setDefaultDevice(AudioObjectID id, Direction direction) override;
    // One round trip: the one device, looked up by its server index.
    std::optional<std::string> stringProperty(StringProperty property, AudioObjectID id) override;
    void startListening(std::function<void()> onDeviceListChange,
                        std::function<void()> onDefaultChange) override;

    // True once listening has subscribed and read the current defaults, so no later change can
    // be missed. False before startListening() and while the server is away.
    bool isListening() const noexcept;

private:
    PulseAudioOptions options_;
    std::unique_ptr<pulse::PulseQueryConnection> queries_;
    std::unique_ptr<pulse::PulseListener> listener_;
};

} // namespace vantorelle
