#pragma once

#include "model/Direction.h"

#include <cstdint>
#include <string>

namespace vantorelle {

// One application stream as the audio layer reports it at one moment: a playback stream is an
// output stream, a recording stream an input one. The id is the server's handle, valid while the
// stream lives (a stream never outlives its server connection).
struct AudioStream {
    std::uint32_t id = 0;
    Direction direction = Direction::output;
    // `application.name` and `application.icon_name`; empty when the stream gives none.
    std::string application;
    std::string iconName;
    // `media.role` as the stream gives it (any case).
    std::string role;
    // The UID of the device it plays to or records from; empty when that is no usable device (a
    // monitor, the server's placeholder) or not known yet.
    std::string deviceUID;
    // The program behind it: its Flatpak id, else its executable (`application.process.binary`);
    // empty when the stream gives neither. A program names its streams as it likes (a browser's
    // playback and capture differ), so this, not the name, says which streams belong together.
    std::string program;
    // False when the stream must stay on its device: it asks so (`node.dont-reconnect`), or the
    // server refused a move of it.
    bool movable = true;

    bool operator==(const AudioStream&) const = default;

    // Who makes the stream: its program, else (a stream telling no program) its name.
    const std::string& caller() const noexcept { return program.empty() ? application : program; }
};

} // namespace vantorelle
