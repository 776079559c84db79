#pragma once

#include "model/AudioDevice.h"
#include "model/AudioStream.h"
#include "model/Direction.h"
#include "model/OtherChooser.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle {

// The device a direction's default names: its UID and, when the system gives one, its name. It
// need not be a usable device (a monitor the user chose, say).
struct DefaultDevice {
    std::string uid;
    std::optional<std::string> name;

    bool operator==(const DefaultDevice&) const = default;
};

// Both defaults as read at one moment; absent where the system has none or does not answer.
struct SystemDefaults {
    std::optional<DefaultDevice> input;
    std::optional<DefaultDevice> output;
    // Another program that chooses defaults as well, when the system shows one.
    std::optional<OtherChooser> otherChooser;

    const std::optional<DefaultDevice>& of(Direction direction) const noexcept
    {
        return direction == Direction::input ? input : output;
    }
    std::optional<std::string> uid(Direction direction) const
    {
        const std::optional<DefaultDevice>& device = of(direction);
        return device ? std::optional(device->uid) : std::nullopt;
    }
};

// The audio system as the engine and the reports speak to it: devices by UID, defaults by UID.
// Implementations never throw and never log by default: a failed read is no answer, an absent
// value or false. Events are delivered on the owner's thread (the Qt main thread in the
// application), never from inside a call made to the system.
class AudioSystem {
public:
    class Listener {
    public:
        // The device list changed. `quiet`: a fresh look after the system (re)appeared or a
        // headset changed profile, not news. Changes that arrive together make one call.
        virtual void deviceListChanged(bool quiet) = 0;
        // A default of either direction changed, and no device-list change came with it; or the
        // other program choosing defaults came or went.
        virtual void defaultChanged() = 0;
        // A stream came, went, or moved to another device, and no device-list change came with
        // it in the same turn (a device-list change is the moment to look at the streams as well).
        virtual void streamsChanged() = 0;

    protected:
        ~Listener() = default;
    };

    virtual ~AudioSystem() = default;

    // Every usable device, in the system's order. std::nullopt when the system does not answer (gone, starting, or a headset between two
    // profiles): that is not "no devices", and a device-list change follows once it answers.
    virtual std::optional<std::vector<AudioDevice>> devices() const = 0;
    // std::nullopt when the system does not answer.
    virtual std::optional<SystemDefaults> defaults() const = 0;
    // Asks for a connected device to become the default; false when the request cannot be made.
    // The outcome shows in defaults() once the sets have settled.
    virtual bool setDefault(Direction direction, const std::string& uid) = 0;
    // The applications' streams, in the system's order; empty when the system does not answer.
    // Streams of this program itself (its level meter) are not among them.
    virtual std::vector<AudioStream> streams() const = 0;
    // Asks for a stream to move to a connected device of its direction; false when the request
    // cannot be made now (on PipeWire, also until its own record of targets is read: ask again
    // later). The move leaves nothing behind once the stream has ended: no memory of the device
    // for the application's next stream, and a target the user gave it stays. The outcome shows
    // in streams().
    virtual bool moveStream(Direction direction, std::uint32_t id, const std::string& uid) = 0;
    // Begins delivering events to `listener`, which outlives this system.
    virtual void listen(Listener& listener) = 0;
    // Calls `then` once every set made so far has been answered (at once where sets are
    // answered as they are made): the defaults read then show their outcome.
    virtual void whenSetsSettled(std::function<void()> then) = 0;
};

} // namespace vantorelle
