#pragma once

#include <pulse/context.h>
#include <pulse/ext-stream-restore.h>

#include <deque>
#include <map>
#include <string>

namespace vantorelle::pulse {

// PulseAudio's module-stream-restore keeps one entry per stream key (the stream's
// `module-stream-restore.id`: "sink-input-by-media-role:phone" for a phone stream, else by its
// application), written at the stream's creation and on each of its changes. Measured on
// PulseAudio 16.1: a client's move writes the new device into the entry (a move to the default
// clears it again, and the stream follows the default), every later change of the stream writes
// it again, and the key's next stream, of any application, starts on that device. This keeps the
// device each key's entry named before our first move: read before the move (in the same request
// order, so at no cost to the move), and put back, keeping whatever else the entry holds (a volume
// the user set), after each change of a moved stream and once more when the last of them has
// ended. Without the module the reads fail and nothing is put back. Answers come in request
// order; the connection's reset cancels them.
class StreamRestore {
public:
    StreamRestore() = default;
    StreamRestore(const StreamRestore&) = delete;
    StreamRestore& operator=(const StreamRestore&) = delete;

    // Before a move of a stream with `key`: the entry's device as it is, unless it is kept already.
    void beforeMove(pa_context* context, const std::string& key);
    // A moved stream of `key` changed: its entry's device goes back to what was kept.
    void putBack(pa_context* context, const std::string& key);
    // No moved stream of `key` remains: put back a last time and forget it.
    void release(pa_context* context, const std::string& key);
    // The connection is gone: what was kept belongs to a server that may not be there any more.
    void clear() noexcept;

private:
    struct Kept {
        bool answered = false; // the module answered the first read
        std::string device;    // empty: the entry named none, or there was no entry
        bool released = false;
    };
    struct Read {
        std::string key;
        bool putsBack = false;
    };
    void read(pa_context* context, Read what);
    void entryRead(pa_context* context, const Read& what, const pa_ext_stream_restore_info& info);
    static void onRead(pa_context* context, const pa_ext_stream_restore_info* info, int eol, void* userdata) noexcept;

    std::map<std::string, Kept> kept_;
    // The reads on their way, oldest first.
    std::deque<Read> reading_;
};

} // namespace vantorelle::pulse
