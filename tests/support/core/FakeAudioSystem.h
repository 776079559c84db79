#pragma once

#include "engine/AudioSystem.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle::test {

// An in-memory audio system. Reads can be made to fail, and events fire only when the test says
// so, as they would arrive from the real server's event loop.
class FakeAudioSystem final : public AudioSystem {
public:
    std::vector<AudioDevice> devicesPresent;
    std::vector<AudioStream> streamsPresent;
    std::optional<std::string> defaultInput;
    std::optional<std::string> defaultOutput;
    // The system does not answer at all; or it answers, but without the defaults.
    bool failDeviceList = false;
    bool failDefaultReads = false;
    bool failSets = false;
    // Announce each successful set as a default change, synchronously, like a server that
    // echoes the new default back to its listeners.
    bool echoDefaultChanges = false;
    // Sets are answered only at answerSets(), as a stalled server would answer them late.
    bool holdSetAnswers = false;
    // What defaults() tells of another program choosing defaults.
    std::optional<OtherChooser> otherChooser;
    // Runs at the start of every set call, e.g. to make the device vanish just before it.
    std::function<void()> beforeSet;

    struct SetCall {
        std::string uid;
        Direction direction;
    };
    std::vector<SetCall> setCalls;
    struct MoveCall {
        std::uint32_t id;
        std::string uid;

        bool operator==(const MoveCall&) const = default;
    };
    std::vector<MoveCall> moveCalls;
    mutable int deviceListReads = 0;
    int listenCalls = 0;

    // A usable device.
    static AudioDevice device(AudioObjectID id, std::string uid, std::string name, bool isInput, bool isOutput,
                              bool isBuiltIn = false, DeviceKind kind = DeviceKind::other)
    {
        return AudioDevice{id, std::move(uid), std::move(name), isInput, isOutput, isBuiltIn, kind};
    }

    void add(AudioDevice device) { devicesPresent.push_back(std::move(device)); }
    void removeUID(const std::string& uid);

    // Deliver events as the backend would.
    void fireDeviceListChange(bool quiet = false) const;
    void fireDefaultChange() const;
    void fireStreamsChange() const;
    void answerSets();

    std::optional<std::vector<AudioDevice>> devices() const override;
    std::optional<SystemDefaults> defaults() const override;
    bool setDefault(Direction direction, const std::string& uid) override;
    // Moves land only at landMoves(), as a loaded server's would land late.
    bool holdMoves = false;
    void landMoves();
    // A move lands at once (unless held), but is told only at fireStreamsChange().
    bool moveStream(Direction direction, std::uint32_t id, const std::string& uid) override;
    std::vector<AudioStream> streams() const override { return failDeviceList ? std::vector<AudioStream>{} : streamsPresent; }
    void listen(Listener& listener) override;
    void whenSetsSettled(std::function<void()> then) override;

private:
    Listener* listener_ = nullptr;
    std::vector<std::function<void()>> settledWaiters_;
};

} // namespace vantorelle::test
