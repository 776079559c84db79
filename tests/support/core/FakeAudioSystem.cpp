#include "support/core/FakeAudioSystem.h"

#include <algorithm>
#include <utility>

namespace vantorelle::test {

RawDevice FakeAudioSystem::device(AudioObjectID id, std::string uid, std::string name, bool isInput,
                                  bool isOutput, bool isBuiltIn)
{
    RawDevice raw;
    raw.id = id;
    raw.uid = std::move(uid);
    raw.name = std::move(name);
    raw.isHidden = false;
    raw.inputChannels = std::vector<std::uint32_t>{isInput ? 2u : 0u};
    raw.outputChannels = std::vector<std::uint32_t>{isOutput ? 2u : 0u};
    raw.builtInTransport = isBuiltIn;
    return raw;
}

void FakeAudioSystem::removeUID(const std::string& uid)
{
    std::erase_if(rawDevices, [&uid](const RawDevice& raw) { return raw.uid == uid; });
}

std::optional<AudioObjectID> FakeAudioSystem::idOf(const std::string& uid) const
{
    const auto it = std::ranges::find(rawDevices, std::optional<std::string>(uid), &RawDevice::uid);
    if (it == rawDevices.end()) return std::nullopt;
    return it->id;
}

std::optional<std::string> FakeAudioSystem::defaultUID(Direction direction) const
{
    const std::optional<AudioObjectID> id = direction == Direction::input ? defaultInput : defaultOutput;
    if (!id) return std::nullopt;
    const auto it = std::ranges::find(rawDevices, *id, &RawDevice::id);
    if (it == rawDevices.end()) return std::nullopt;
    return it->uid;
}

void FakeAudioSystem::fireDeviceListChange() const
{
    if (onDeviceListChange_) onDeviceListChange_(false);
}

void FakeAudioSystem::fireDefaultChange() const
{
    if (onDefaultChange_) onDefaultChange_();
}

void FakeAudioSystem::fireQuietDeviceListChange() const
{
    if (onDeviceListChange_) onDeviceListChange_(true);
}

void FakeAudioSystem::whenSetsSettled(std::function<void()> then)
{
    if (holdSetAnswers) settledWaiters_.push_back(std::move(then));
    else then();
}

void FakeAudioSystem::answerSets()
{
    holdSetAnswers = false;
    for (const auto& then : std::exchange(settledWaiters_, {})) then();
}

std::optional<std::vector<RawDevice>> FakeAudioSystem::devices()
{
    ++deviceListReads;
    if (failDeviceList) return std::nullopt;
    return rawDevices;
}

std::optional<AudioObjectID> FakeAudioSystem::defaultDevice(Direction direction)
{
    if (failDefaultReads) return std::nullopt;
    return direction == Direction::input ? defaultInput : defaultOutput;
}

bool FakeAudioSystem::setDefaultDevice(AudioObjectID id, Direction direction)
{
    setCalls.push_back(SetCall{id, direction});
    if (beforeSet) beforeSet();
    if (failSets) return false;
    if (std::ranges::find(rawDevices, id, &RawDevice::id) == rawDevices.end()) return false;
    (direction == Direction::input ? defaultInput : defaultOutput) = id;
    if (echoDefaultChanges) fireDefaultChange();
    return true;
}

std::optional<std::string> FakeAudioSystem::stringProperty(StringProperty property, AudioObjectID id)
{
    if (failStringProperties) return std::nullopt;
    const auto it = std::ranges::find(rawDevices, id, &RawDevice::id);
    if (it == rawDevices.end()) return std::nullopt;
    return property == StringProperty::uid ? it->uid : it->name;
}

void FakeAudioSystem::startListening(std::function<void(bool quiet)> onDeviceListChange,
                                     std::function<void()> onDefaultChange)
{
    ++startListeningCalls;
    onDeviceListChange_ = std::move(onDeviceListChange);
    onDefaultChange_ = std::move(onDefaultChange);
}

} // namespace vantorelle::test
