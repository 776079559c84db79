#pragma once

#include "SettingsWrites.h"
#include "support/core/EngineFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantorelle::test {

// The devices the engine tests plug in. Ids are the audio system's handles, UIDs the stable
// names the stacks keep.
namespace devices {
inline RawDevice builtInMic(AudioObjectID id = 1)
{
    return FakeAudioSystem::device(id, "builtin-mic", "Built-in Microphone", true, false, true);
}
inline RawDevice builtInSpeakers(AudioObjectID id = 2)
{
    return FakeAudioSystem::device(id, "builtin-speakers", "Built-in Speakers", false, true, true);
}
inline RawDevice usbMic(AudioObjectID id = 3)
{
    return FakeAudioSystem::device(id, "usb-mic", "USB Microphone", true, false);
}
inline RawDevice headset(AudioObjectID id = 4)
{
    return FakeAudioSystem::device(id, "usb-headset", "USB Headset", true, true);
}
inline RawDevice externalMic(AudioObjectID id = 5)
{
    return FakeAudioSystem::device(id, "ext-mic", "External Microphone", true, false);
}
inline RawDevice monitor(AudioObjectID id = 6)
{
    return FakeAudioSystem::device(id, "hdmi-monitor", "HDMI Monitor", false, true);
}
} // namespace devices

inline SavedDevice saved(const RawDevice& device)
{
    return SavedDevice{device.uid.value_or(""), device.name.value_or("")};
}

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
        audio().defaultInput = 1;
        audio().defaultOutput = 2;
    }

    void plug(RawDevice device)
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
    SettingsWrites writes{parts.settingsFile};
    std::shared_ptr<SwitchEngine> engine;
};

} // namespace vantorelle::test
