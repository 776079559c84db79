#pragma once

#include "audio/AudioSystem.h"
#include "model/AudioDevice.h"
#include "model/Direction.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorelle {

// The system's own aggregate devices: never reported as devices, and purged from the stacks.
inline bool isSystemAggregate(std::string_view uid, std::string_view name) noexcept
{
    constexpr std::string_view prefix = "CADefaultDeviceAggregate";
    return uid.starts_with(prefix) || name.starts_with(prefix);
}

// The one place that talks to the audio system. It keeps no cache of its own (the backend's
// answers are already current), and every failure becomes a neutral result.
class AudioDeviceManager {
public:
    explicit AudioDeviceManager(std::unique_ptr<AudioSystem> system);
    ~AudioDeviceManager();
    AudioDeviceManager(const AudioDeviceManager&) = delete;
    AudioDeviceManager& operator=(const AudioDeviceManager&) = delete;

    // Read at the moment an event fires, so they can be set before or after startListening().
    std::function<void()> onDeviceListChange;
    std::function<void()> onDefaultChange;
    // A change that is no news (a (re)connection, a profile change); falls back to
    // onDeviceListChange when unset.
    std::function<void()> onQuietDeviceListChange;

    std::vector<AudioDevice> connectedDevices() const;
    // As connectedDevices(), but std::nullopt when the system did not answer.
    std::optional<std::vector<AudioDevice>> readConnectedDevices() const;
    // Whether the system answers.
    bool isAnswering() const { return system_->isAnswering(); }
    // Asks for a device-list change once the system answers again.
    void requestResync() { system_->requestResync(); }
    // Calls `then` once the sets made so far have been answered.
    void whenSetsSettled(std::function<void()> then) { system_->whenSetsSettled(std::move(then)); }
    std::optional<AudioObjectID> defaultDeviceID(Direction direction) const;
    std::optional<OtherChooser> otherDefaultChooser() const { return system_->otherDefaultChooser(); }
    bool setDefaultDevice(AudioObjectID id, Direction direction);
    std::optional<std::string> stringProperty(StringProperty property, AudioObjectID id) const;
    void startListening();

private:
    std::unique_ptr<AudioSystem> system_;
    bool listening_ = false;
};

} // namespace vantorelle
