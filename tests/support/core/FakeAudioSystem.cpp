#include "support/core/FakeAudioSystem.h"

#include <algorithm>
#include <utility>

namespace vantorelle::test {

void FakeAudioSystem::removeUID(const std::string& uid)
{
    std::erase_if(devicesPresent, [&uid](const AudioDevice& device) { return device.uid == uid; });
}

void FakeAudioSystem::fireDeviceListChange(bool quiet) const
{
    if (listener_) listener_->deviceListChanged(quiet);
}

void FakeAudioSystem::fireDefaultChange() const
{
    if (listener_) listener_->defaultChanged();
}

void FakeAudioSystem::fireStreamsChange() const
{
    if (listener_) listener_->streamsChanged();
}

bool FakeAudioSystem::moveStream(Direction direction, std::uint32_t id, const std::string& uid)
{
    moveCalls.push_back({id, uid});
    const auto stream = std::ranges::find_if(streamsPresent, [&](const AudioStream& s) {
        return s.id == id && s.direction == direction;
    });
    if (failDeviceList || stream == streamsPresent.end()) return false;
    if (std::ranges::find(devicesPresent, uid, &AudioDevice::uid) == devicesPresent.end()) return false;
    if (!holdMoves) stream->deviceUID = uid;
    return true;
}

void FakeAudioSystem::landMoves()
{
    holdMoves = false;
    for (const MoveCall& move : moveCalls) {
        for (AudioStream& stream : streamsPresent) {
            if (stream.id == move.id) stream.deviceUID = move.uid;
        }
    }
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

std::optional<std::vector<AudioDevice>> FakeAudioSystem::devices() const
{
    ++deviceListReads;
    if (failDeviceList) return std::nullopt;
    return devicesPresent;
}

std::optional<SystemDefaults> FakeAudioSystem::defaults() const
{
    if (failDeviceList) return std::nullopt;
    SystemDefaults result;
    result.otherChooser = otherChooser;
    if (failDefaultReads) return result;
    const auto named = [this](const std::optional<std::string>& uid) -> std::optional<DefaultDevice> {
        if (!uid) return std::nullopt;
        const auto found = std::ranges::find(devicesPresent, *uid, &AudioDevice::uid);
        return DefaultDevice{*uid, found == devicesPresent.end() ? std::nullopt : std::optional(found->name)};
    };
    result.input = named(defaultInput);
    result.output = named(defaultOutput);
    return result;
}

bool FakeAudioSystem::setDefault(Direction direction, const std::string& uid)
{
    setCalls.push_back(SetCall{uid, direction});
    if (beforeSet) beforeSet();
    if (failSets || failDeviceList) return false;
    if (std::ranges::find(devicesPresent, uid, &AudioDevice::uid) == devicesPresent.end()) return false;
    (direction == Direction::input ? defaultInput : defaultOutput) = uid;
    if (echoDefaultChanges) fireDefaultChange();
    return true;
}

void FakeAudioSystem::listen(Listener& listener)
{
    ++listenCalls;
    listener_ = &listener;
}

} // namespace vantorelle::test
