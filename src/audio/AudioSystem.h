#pragma once

#include "model/AudioDevice.h"
#include "model/Direction.h"

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
    // call; default changes of either direction call onDefaultChange.
    virtual void startListening(std::function<void()> onDeviceListChange,
                                std::function<void()> onDefaultChange) = 0;

    // Calls between beginSession() and endSession() may share one connection and one look at the
    // system, so a pass sees one consistent state and costs one connection. Sessions nest.
    virtual void beginSession() {}
    virtual void endSession() {}
    // Called, instead of a device-list change, when the system has (re)appeared or a headset
    // has changed profile: what follows is a fresh look, not news. Set before startListening().
    virtual void setOnQuietDeviceListChange(std::function<void()> onQuietDeviceListChange)
    {
        (void)onQuietDeviceListChange;
    }
    // Whether the system answers now; inside a session, whether the session's look succeeded.
    virtual bool isAnswering() { return devices().has_value(); }
    // After a read that got no answer: report a device-list change once the system answers again.
    virtual void requestResync() {}
};

} // namespace vantorelle
