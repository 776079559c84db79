#pragma once

#include "audio/AudioSystem.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle::test {

// An in-memory audio system. Every read can be made to fail, and events fire only when the
// test says so, as they would arrive from the real server's event loop.
class FakeAudioSystem final : public AudioSystem {
public:
    std::vector<RawDevice> rawDevices;
    std::optional<AudioObjectID> defaultInput;
    std::optional<AudioObjectID> defaultOutput;
    bool failDeviceList = false;
    bool failDefaultReads = false;
    bool failSets = false;
    bool failStringProperties = false;
    // Announce each successful set as a default change, synchronously, like a server that
    // echoes the new default back to its listeners.
    bool echoDefaultChanges = false;
    // Sets are answered only at answerSets(), as a stalled server would answer them late.
    bool holdSetAnswers = false;
    // What otherDefaultChooser() answers.
    std::optional<OtherChooser> otherChooser;
    // Runs at the start of every set call, e.g. to make the device vanish just before it.
    std::function<void()> beforeSet;

    struct SetCall {
        AudioObjectID id;
        Direction direction;
    };
    std::vector<SetCall> setCalls;
    int deviceListReads = 0;
    int startListeningCalls = 0;
    int resyncRequests = 0;

    // A plain usable device with every property readable.
    static RawDevice device(AudioObjectID id, std::string uid, std::string name, bool isInput,
                            bool isOutput, bool isBuiltIn = false);

    void add(RawDevice device) { rawDevices.push_back(std::move(device)); }
    void removeUID(const std::string& uid);
    std::optional<AudioObjectID> idOf(const std::string& uid) const;
    std::optional<std::string> defaultUID(Direction direction) const;

    // Deliver events as the backend would.
    void fireDeviceListChange() const;
    void fireDefaultChange() const;
    // A (re)connection of the backend to its server.
    void fireQuietDeviceListChange() const;

    std::optional<std::vector<RawDevice>> devices() override;
    std::optional<AudioObjectID> defaultDevice(Direction direction) override;
    bool setDefaultDevice(AudioObjectID id, Direction direction) override;
    std::optional<std::string> stringProperty(StringProperty property, AudioObjectID id) override;
    void startListening(std::function<void(bool quiet)> onDeviceListChange,
                        std::function<void()> onDefaultChange) override;
    void requestResync() override { ++resyncRequests; }
    void whenSetsSettled(std::function<void()> then) override;
    void answerSets();
    bool isAnswering() override { return !failDeviceList; }
    std::optional<OtherChooser> otherDefaultChooser() override { return otherChooser; }

private:
    std::function<void(bool quiet)> onDeviceListChange_;
    std::vector<std::function<void()>> settledWaiters_;
    std::function<void()> onDefaultChange_;
};

} // namespace vantorelle::test
