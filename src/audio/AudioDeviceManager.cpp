#include "audio/AudioDeviceManager.h"

#include <numeric>

namespace vantorelle {

namespace {

bool hasChannels(const std::optional<std::vector<std::uint32_t>>& buffers)
{
    if (!buffers || buffers->empty()) return false;
    const std::int64_t sum = std::accumulate(buffers->begin(), buffers->end(), std::int64_t{0});
    return sum > 0;
}

} // namespace

AudioDeviceManager::AudioDeviceManager(std::unique_ptr<AudioSystem> system)
    : system_(std::move(system))
{
}

AudioDeviceManager::~AudioDeviceManager() = default;

std::vector<AudioDevice> AudioDeviceManager::connectedDevices() const
{
    return readConnectedDevices().value_or(std::vector<AudioDevice>{});
}

std::optional<std::vector<AudioDevice>> AudioDeviceManager::readConnectedDevices() const
{
    const std::optional<std::vector<RawDevice>> raws = system_->devices();
    if (!raws) return std::nullopt;
    std::vector<AudioDevice> result;
    for (const RawDevice& raw : *raws) {
        if (!raw.uid) continue;
        const std::string& uid = *raw.uid;
        std::string name = raw.name ? *raw.name : uid;
        if (raw.isHidden.value_or(false)) continue;
        if (isSystemAggregate(uid, name)) continue;
        const bool isInput = hasChannels(raw.inputChannels);
        const bool isOutput = hasChannels(raw.outputChannels);
        if (!isInput && !isOutput) continue;
        const bool isBuiltIn = raw.builtInTransport.value_or(false);
        result.push_back(AudioDevice{raw.id, uid, std::move(name), isInput, isOutput, isBuiltIn});
    }
    return result;
}

std::optional<AudioObjectID> AudioDeviceManager::defaultDeviceID(Direction direction) const
{
    const std::optional<AudioObjectID> id = system_->defaultDevice(direction);
    if (!id || *id == 0) return std::nullopt;
    return id;
}

bool AudioDeviceManager::setDefaultDevice(AudioObjectID id, Direction direction)
{
    return system_->setDefaultDevice(id, direction);
}

std::optional<std::string> AudioDeviceManager::stringProperty(StringProperty property,
                                                              AudioObjectID id) const
{
    return system_->stringProperty(property, id);
}

void AudioDeviceManager::startListening()
{
    if (listening_) return;
    listening_ = true;
    // The backend is owned by this manager and stops delivering when destroyed, so `this`
    // cannot dangle inside these callbacks.
    system_->startListening(
        [this](bool quiet) {
            if (quiet && onQuietDeviceListChange) onQuietDeviceListChange();
            else if (onDeviceListChange) onDeviceListChange();
        },
        [this] {
            if (onDefaultChange) onDefaultChange();
        });
}

} // namespace vantorelle
