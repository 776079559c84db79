#pragma once

#include "support/core/EngineFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantorelle::test {

// The devices the engine tests plug in. Ids are the audio system's handles, UIDs the stable
// names the stacks keep.
namespace devices {
inline AudioDevice builtInMic(AudioObjectID id = 1)
{
    return FakeAudioSystem::device(id, "builtin-mic", "Built-in Microphone", true, false, true);
}
inline AudioDevice builtInSpeakers(AudioObjectID id = 2)
{
    return FakeAudioSystem::device(id, "builtin-speakers", "Built-in Speakers", false, true, true);
}
inline AudioDevice usbMic(AudioObjectID id = 3)
{
    return FakeAudioSystem::device(id, "usb-mic", "USB Microphone", true, false);
}
inline AudioDevice headset(AudioObjectID id = 4)
{
    return FakeAudioSystem::device(id, "usb-headset", "USB Headset", true, true);
}
inline AudioDevice externalMic(AudioObjectID id = 5)
{
    return FakeAudioSystem::device(id, "ext-mic", "External Microphone", true, false);
}
inline AudioDevice monitor(AudioObjectID id = 6)
{
    return FakeAudioSystem::device(id, "hdmi-monitor", "HDMI Monitor", false, true);
}
} // namespace devices

inline SavedDevice saved(const AudioDevice& device)
{
    return SavedDevice{device.uid, device.name};
}

// The saves the engine made since the last reset.
struct Writes {
    int& saves;
    int count() const { return saves; }
    void reset() { saves = 0; }
};

class EngineTest : public ::testing::Test {
protected:
    // Leaves a settings file as an earlier run would have; the write is not counted.
    void storeSettings(const StoredSettings& settings)
    {
        PriorityStore(parts.folder.path()).save(settings);
        writes.reset();
    }
    StoredSettings fileSettings() const { return PriorityStore(parts.folder.path()).load(); }

    SwitchEngine& make()
    {
        engine = parts.makeEngine();
        return *engine;
    }
    SwitchEngine& start()
    {
        make();
        engine->start();
        return *engine;
    }

    // The laptop's own microphone and speakers, present and the two defaults.
    void addBuiltInDefaults()
    {
        audio().add(devices::builtInMic());
        audio().add(devices::builtInSpeakers());
        audio().defaultInput = "builtin-mic";
        audio().defaultOutput = "builtin-speakers";
    }

    void plug(AudioDevice device)
    {
        audio().add(std::move(device));
        audio().fireDeviceListChange();
    }
    void unplug(const std::string& uid)
    {
        audio().removeUID(uid);
        audio().fireDeviceListChange();
    }

    FakeAudioSystem& audio() { return parts.audio; }
    FakeLid& lid() { return parts.lid; }
    std::vector<Notice>& notices() { return parts.notifier.notices; }

    std::vector<std::string> stack(Direction direction) const
    {
        std::vector<std::string> uids;
        for (const SavedDevice& entry : engine->settings().priority(direction)) uids.push_back(entry.uid);
        return uids;
    }
    std::vector<std::string> titles()
    {
        std::vector<std::string> result;
        for (const Notice& notice : notices()) result.push_back(notice.title);
        return result;
    }
    std::size_t setCallsFor(Direction direction)
    {
        return static_cast<std::size_t>(std::ranges::count(audio().setCalls, direction,
                                                           &FakeAudioSystem::SetCall::direction));
    }

    // Declared first so the engine, which owns the fakes, goes before the folder.
    FakeEngineParts parts;
    Writes writes{parts.saves};
    std::shared_ptr<SwitchEngine> engine;
};

} // namespace vantorelle::test
