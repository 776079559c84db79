#pragma once

#include "audio/AudioSystem.h"
#include "audio/pulse/PulseAudioOptions.h"
#include "audio/pulse/PulseEndpoint.h"
#include "audio/pulse/PulseEventSource.h"
#include "audio/pulse/PulseServerDefaults.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vantorelle {

namespace pulse {
class PulseQueryConnection;
} // namespace pulse

// The audio system as a PulseAudio (or pipewire-pulse) server presents it: each sink is an output
// device, each source an input device. Queries block their caller for at most the query deadline.
// Every read is answered from one look at the server (sinks, sources and defaults, requested
// together: one round trip however many devices there are). Outside a session each call takes
// its own look on a connection of its own; inside one, the first read takes the look on the
// session's connection and the others answer from it, and a set made there is trusted once the
// server acknowledged it (PipeWire may answer a read-back with the old default for a while).
// Works without an event loop; listening uses the event source the factory makes (none: no events).
class PulseAudioSystem final : public AudioSystem {
public:
    explicit PulseAudioSystem(PulseAudioOptions options = {}, pulse::PulseEventSourceFactory listen = {});
    ~PulseAudioSystem() override;
    PulseAudioSystem(const PulseAudioSystem&) = delete;
    PulseAudioSystem& operator=(const PulseAudioSystem&) = delete;

    std::optional<std::vector<RawDevice>> devices() override;
    std::optional<AudioObjectID> defaultDevice(Direction direction) override;
    // One round trip more, and only when the device is not the default already.
    bool setDefaultDevice(AudioObjectID id, Direction direction) override;
    std::optional<std::string> stringProperty(StringProperty property, AudioObjectID id) override;
    void startListening(std::function<void()> onDeviceListChange,
                        std::function<void()> onDefaultChange) override;
    void beginSession() override;
    void endSession() override;
    void setOnQuietDeviceListChange(std::function<void()> onQuietDeviceListChange) override;
    void requestResync() override;
    bool isAnswering() override;

    // True once listening has subscribed and read the current defaults, so no later change can
    // be missed. False before startListening() and while the server is away.
    bool isListening() const noexcept;

    // Everything one round trip tells about the server.
    struct Look {
        std::vector<pulse::PulseEndpoint> endpoints; // sinks, then sources, in the server's order
        pulse::PulseServerDefaults defaults;
        std::vector<std::uint32_t> cards; // indices, when a Bluetooth headset was seen before
    };

private:
    std::optional<Look> takeLook();
    // Whether the look finds a Bluetooth headset between one profile's endpoints and the next's.
    bool isChangingProfile(const Look& look);
    // The session's look, or a fresh one outside a session; nullptr when the server did not answer.
    const Look* look();

    PulseAudioOptions options_;
    pulse::PulseEventSourceFactory listen_;
    std::unique_ptr<pulse::PulseQueryConnection> queries_;
    std::unique_ptr<pulse::PulseEventSource> listener_;
    std::function<void()> onQuietDeviceListChange_;
    int sessionDepth_ = 0;
    bool sessionLookTaken_ = false;
    // The latest look: the session's while one runs (a new session takes its own).
    std::optional<Look> look_;
    // The defaults as this process last learned them, from a look or an acknowledged set.
    std::optional<pulse::PulseServerDefaults> lastDefaults_;
    // The Bluetooth cards the device lists saw endpoints of, each with whether a list has since
    // found it there but with none.
    std::unordered_map<std::uint32_t, bool> bluetoothCards_;
};

} // namespace vantorelle
