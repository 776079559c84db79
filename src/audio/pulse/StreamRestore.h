#pragma once

#include <pulse/context.h>
#include <pulse/ext-stream-restore.h>

#include <deque>
#include <map>
#include <optional>
#include <string>

namespace vantorelle::pulse {

// PulseAudio's module-stream-restore remembers a device per stream key (the stream's
// `module-stream-restore.id`: its media role, else its application). Measured on PulseAudio 16.1:
// a client's move of a phone stream writes the new device into the key's entry (and every later
// change event of the stream writes it again while the stream prefers that device), so the next
// stream with that key, of any application, starts on it. This keeps each key's entry as it was
// before our first move: read before the move (in the same request order, so at no cost to the
// move), put back after the server showed the move and once more when the key's last moved stream
// has ended (written back, or deleted when there was none). Without the module the read fails
// and nothing is put back. Answers come in request order; the connection's reset cancels them.
class StreamRestore {
public:
    StreamRestore() = default;
    StreamRestore(const StreamRestore&) = delete;
    StreamRestore& operator=(const StreamRestore&) = delete;

    // Before a move of a stream with `key`: the entry as it is, unless it is kept already.
    void beforeMove(pa_context* context, const std::string& key);
    // The server showed a moved stream of `key`: its entry goes back to what was kept.
    void putBack(pa_context* context, const std::string& key);
    // No moved stream of `key` remains: put back a last time and forget it.
    void release(pa_context* context, const std::string& key);
    bool keeps(const std::string& key) const { return kept_.contains(key); }
    // The connection is gone: what was kept belongs to a server that may not be there any more.
    void clear() noexcept;

private:
    struct Entry {
        pa_channel_map channels{};
        pa_cvolume volume{};
        std::string device;
        int mute = 0;
    };
    // Whether the module answered, and the key's entry then (none when it had none).
    struct Kept {
        bool answered = false;
        std::optional<Entry> entry;
    };
    static void onRead(pa_context* context, const pa_ext_stream_restore_info* info, int eol, void* userdata) noexcept;

    std::map<std::string, Kept> kept_;
    // The keys whose reads are on their way, oldest first.
    std::deque<std::string> reading_;
};

} // namespace vantorelle::pulse
