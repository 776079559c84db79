#include "audio/AudioDeviceManager.h"
#include "support/core/FakeAudioSystem.h"

#include <gtest/gtest.h>

namespace vantorelle {
namespace {

using test::FakeAudioSystem;

class AudioDeviceManagerTest : public ::testing::Test {
protected:
    AudioDeviceManagerTest() : owner(std::make_unique<FakeAudioSystem>()), audio(*owner), manager(std::move(owner)) {}

    std::unique_ptr<FakeAudioSystem> owner;
    FakeAudioSystem& audio;
    AudioDeviceManager manager;
};

TEST_F(AudioDeviceManagerTest, FailedReadsGiveNeutralResultsPerDevice)
{
    RawDevice noUID = FakeAudioSystem::device(1, "x", "Has channels but no UID", true, true);
    noUID.uid.reset();
    RawDevice noName = FakeAudioSystem::device(2, "nameless-uid", "", true, false);
    noName.name.reset();
    RawDevice hiddenUnknown = FakeAudioSystem::device(3, "hidden-unreadable", "Hidden?", false, true);
    hiddenUnknown.isHidden.reset();
    RawDevice transportUnknown = FakeAudioSystem::device(4, "transport-unreadable", "T", true, false, true);
    transportUnknown.builtInTransport.reset();
    RawDevice outputUnreadable = FakeAudioSystem::device(5, "in-only", "In", true, true);
    outputUnreadable.outputChannels.reset();
    for (auto* raw : {&noUID, &noName, &hiddenUnknown, &transportUnknown, &outputUnreadable}) audio.add(*raw);

    const std::vector<AudioDevice> devices = manager.connectedDevices();
    ASSERT_EQ(devices.size(), 4u);
    EXPECT_EQ(devices[0], (AudioDevice{2, "nameless-uid", "nameless-uid", true, false, false}));
    EXPECT_EQ(devices[1].uid, "hidden-unreadable");
    EXPECT_FALSE(devices[2].isBuiltIn);
    EXPECT_TRUE(devices[3].isInput);
    EXPECT_FALSE(devices[3].isOutput);
}

TEST_F(AudioDeviceManagerTest, HiddenAggregateAndChannelLessDevicesAreDropped)
{
    RawDevice hidden = FakeAudioSystem::device(1, "monitor", "Monitor", true, false);
    hidden.isHidden = true;
    audio.add(hidden);
    audio.add(FakeAudioSystem::device(2, "CADefaultDeviceAggregate-1", "Looks normal", true, true));
    audio.add(FakeAudioSystem::device(3, "normal-uid", "CADefaultDeviceAggregate-2", true, true));
    audio.add(FakeAudioSystem::device(4, "cadefaultdeviceaggregate-lower", "lower case is kept", true, false));
    audio.add(FakeAudioSystem::device(5, "silent", "No channels", false, false));
    RawDevice emptyBuffers = FakeAudioSystem::device(6, "empty-buffers", "Empty", false, false);
    emptyBuffers.inputChannels = std::vector<std::uint32_t>{};
    audio.add(emptyBuffers);
    RawDevice manyBuffers = FakeAudioSystem::device(7, "buffers", "Buffers", false, false);
    manyBuffers.inputChannels = std::vector<std::uint32_t>{0, 0, 1};
    audio.add(manyBuffers);

    const std::vector<AudioDevice> devices = manager.connectedDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].uid, "cadefaultdeviceaggregate-lower");
    EXPECT_EQ(devices[1].uid, "buffers");
    EXPECT_TRUE(devices[1].isInput);
}

TEST_F(AudioDeviceManagerTest, KeepsSystemOrderAndDuplicatesAndBothDirections)
{
    audio.add(FakeAudioSystem::device(9, "headset", "Headset", true, true));
    audio.add(FakeAudioSystem::device(3, "builtin-mic", "Built-in Microphone", true, false, true));
    audio.add(FakeAudioSystem::device(4, "headset", "Headset (again)", true, false));

    const std::vector<AudioDevice> devices = manager.connectedDevices();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0], (AudioDevice{9, "headset", "Headset", true, true, false}));
    EXPECT_EQ(devices[1].uid, "builtin-mic");
    EXPECT_TRUE(devices[1].isBuiltIn);
    EXPECT_EQ(devices[2].name, "Headset (again)");

    audio.failDeviceList = true;
    EXPECT_TRUE(manager.connectedDevices().empty());
}

TEST_F(AudioDeviceManagerTest, DefaultsAreAbsentNotZero)
{
    audio.add(FakeAudioSystem::device(5, "spk", "Speakers", false, true));
    EXPECT_EQ(manager.defaultDeviceID(Direction::output), std::nullopt);
    audio.defaultOutput = 0;
    EXPECT_EQ(manager.defaultDeviceID(Direction::output), std::nullopt);
    audio.defaultOutput = 5;
    EXPECT_EQ(manager.defaultDeviceID(Direction::output), 5u);
    EXPECT_EQ(manager.defaultDeviceID(Direction::input), std::nullopt);
    audio.failDefaultReads = true;
    EXPECT_EQ(manager.defaultDeviceID(Direction::output), std::nullopt);

    EXPECT_EQ(manager.stringProperty(StringProperty::uid, 5), "spk");
    EXPECT_EQ(manager.stringProperty(StringProperty::name, 5), "Speakers");
    EXPECT_EQ(manager.stringProperty(StringProperty::name, 6), std::nullopt);

    EXPECT_TRUE(manager.setDefaultDevice(5, Direction::output));
    audio.failSets = true;
    EXPECT_FALSE(manager.setDefaultDevice(5, Direction::output));
}

TEST_F(AudioDeviceManagerTest, ListenersReadTheCallbackFieldsWhenEventsFire)
{
    int listChanges = 0;
    int defaultChanges = 0;
    manager.startListening();
    manager.startListening();
    EXPECT_EQ(audio.startListeningCalls, 1);

    audio.fireDeviceListChange(); // nothing installed yet: dropped
    manager.onDeviceListChange = [&] { ++listChanges; };
    manager.onDefaultChange = [&] { ++defaultChanges; };
    audio.fireDeviceListChange();
    audio.fireDefaultChange();
    audio.fireDefaultChange();
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(defaultChanges, 2);
}

} // namespace
} // namespace vantorelle
