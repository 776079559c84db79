#pragma once

#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/OtherChooser.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle {

enum class StringProperty { uid, name };

// What the audio system says about one device object. Every field is a separate read that can
// fail on its own (std::nullopt); the manager turns failures into the neutral results.
struct RawDevice {
    AudioObjectID id = 0;
    std::optional<std::string> uid;
    std::optional<std::string> name;
    std::optional<bool> isHidden;
    // Channel counts of the stream buffers per scope; std::nullopt when the read failed.
    std::optional<std::vector<std::uint32_t>> inputChannels;
    std::optional<std::vector<std::uint32_t>> outputChannels;
    // True when the transport is the machine's own (built in); std::nullopt when unreadable.
    std::optional<bool> builtInTransport;
};

// The small surface of an audio backend. Implementations never throw and never log: a failed
// read is an empty list, an absent value or false. Events are delivered on the owner's thread
// (the Qt main thread in the application).
class AudioSystem {
public:
    virtual ~AudioSystem() = default;

    // Every device object, in the system's order; one fixed cost however many devices there are.
    // std::nullopt when the system did not answer (gone, or too slow): that is not "no devices".
    virtual std::optional<std::vector<RawDevice>> devices() = 0;
    // The default device of a direction; 0 or std::nullopt both mean "none".
    virtual std::optional<AudioObjectID> defaultDevice(Direction direction) = 0;
    virtual bool setDefaultDevice(AudioObjectID id, Direction direction) = 0;
    virtual std::optional<std::string> stringProperty(StringProperty property, AudioObjectID id) = 0;
    // Begins delivering events. Device-list changes that arrive together are coalesced into one
    // call, whose argument says whether it is quiet: a fresh look after the system (re)appeared or
    // a headset changed profile, not news. Default changes of either direction call onDefaultChange.
    virtual void startListening(std::function<void(bool quiet)> onDeviceListChange,
                                std::function<void()> onDefaultChange) = 0;

    // Whether the system answers now.
    virtual bool isAnswering() { return devices().has_value(); }
    // After a read that got no answer: report a device-list change once the system answers again.
    virtual void requestResync() {}
    // Calls `then` once every set made so far has been answered by the system (at once where
    // sets are answered as they are made): the defaults read then show their outcome.
    virtual void whenSetsSettled(std::function<void()> then) { then(); }
    // Another program that chooses defaults as well, when the system shows one; a change of it
    // comes as a default change.
    virtual std::optional<OtherChooser> otherDefaultChooser() { return std::nullopt; }
};

} // namespace vantorelle
