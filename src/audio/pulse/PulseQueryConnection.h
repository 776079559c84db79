#pragma once

#include "audio/pulse/PulseHandles.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantorelle::pulse {

using Deadline = std::chrono::steady_clock::time_point;

// The connection that answers queries. It runs on a private main loop that is iterated only
// inside exchange(), so nothing else ever runs re-entrantly in the caller, and every wait ends
// at the caller's deadline. A connection serves one call (see Call) and is closed after it:
// PipeWire at times stops telling clients already connected of changes to the defaults, and its
// pulse server goes on answering them with the old ones, while a newly connected client reads
// the current ones. After a server let a call run out of time, calls fail at once for a short
// while, so one event's handful of queries cannot each block for the whole deadline on a hung
// server.
class PulseQueryConnection {
public:
    // Sends the requests of one exchange on a ready context; returns their operations.
    using Issue = std::function<std::vector<Operation>(pa_context*)>;

    // The exchanges of one call share a connection, which is closed when the Call ends.
    class Call {
    public:
        explicit Call(PulseQueryConnection& connection) noexcept : connection_(connection) {}
        ~Call() { connection_.context_.reset(); }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        PulseQueryConnection& connection_;
    };

    PulseQueryConnection(std::optional<std::string> server, std::chrono::milliseconds quietAfterTimeout);
    ~PulseQueryConnection();
    PulseQueryConnection(const PulseQueryConnection&) = delete;
    PulseQueryConnection& operator=(const PulseQueryConnection&) = delete;

    // True when every request was answered before the deadline (the replies say whether each
    // answer was a success). All requests are sent before the first wait, so one exchange costs
    // one round trip however many requests it holds.
    bool exchange(Deadline deadline, const Issue& issue) noexcept;

    // How many server-change events (defaults and other server properties) the connections have
    // seen; each subscribes to them when it connects. Lets a caller wait for the server to act.
    unsigned serverChanges() const noexcept { return serverChanges_; }
    // Runs the private loop until serverChanges() moves past `seen`, the connection breaks or
    // the deadline passes; true when a change came.
    bool waitForServerChange(unsigned seen, Deadline deadline) noexcept;

private:
    bool makeReady(Deadline deadline) noexcept;
    bool iterateUntil(const std::function<bool()>& done, Deadline deadline) noexcept;
    bool isGood() const noexcept;
    void timedOut() noexcept;

    std::optional<std::string> server_;
    std::chrono::milliseconds quietAfterTimeout_;
    std::optional<Deadline> quietUntil_;
    unsigned serverChanges_ = 0;
    Mainloop loop_;
    Context context_; // after loop_: released first
};

} // namespace vantorelle::pulse
