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
// at the caller's deadline. The owner closes it after each call or session (see Call): PipeWire
// at times stops telling clients already connected of changes to the defaults, and its pulse
// server goes on answering them with the old ones, while a newly connected client reads the
// current ones. A server that never does that (PulseAudio) may keep one connection open
// (setKeepOpen), which saves a connection per pass and the client events others see for it.
// After a server let a call run out of time, calls fail at once for a short while, so a burst of
// calls cannot each block for the whole deadline on a hung server.
class PulseQueryConnection {
public:
    // Sends the requests of one exchange on a ready context; returns their operations.
    using Issue = std::function<std::vector<Operation>(pa_context*)>;

    // Closes the connection when it ends, unless it is to be kept open.
    class Call {
    public:
        explicit Call(PulseQueryConnection& connection) noexcept : connection_(connection) {}
        ~Call() { connection_.close(); }
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

    // Subscribes the current connection to server-change events (defaults and other server
    // properties); only a caller that waits for the server to act needs them.
    void watchServerChanges() noexcept;
    // How many server-change events the connections have seen since they were watched.
    unsigned serverChanges() const noexcept { return serverChanges_; }
    // Runs the private loop until serverChanges() moves past `seen`, the connection breaks or
    // the deadline passes; true when a change came.
    bool waitForServerChange(unsigned seen, Deadline deadline) noexcept;

    // Ends the connection, unless it is kept open.
    void close() noexcept;
    void setKeepOpen(bool keepOpen) noexcept { keepOpen_ = keepOpen; }
    // The server answered elsewhere: end the quiet period after a time-out.
    void serverAnswered() noexcept { quietUntil_.reset(); }

private:
    bool exchangeOnce(Deadline deadline, const Issue& issue) noexcept;
    bool makeReady(Deadline deadline) noexcept;
    bool iterateUntil(const std::function<bool()>& done, Deadline deadline) noexcept;
    bool isGood() const noexcept;
    void timedOut() noexcept;

    std::optional<std::string> server_;
    std::chrono::milliseconds quietAfterTimeout_;
    std::optional<Deadline> quietUntil_;
    unsigned serverChanges_ = 0;
    bool keepOpen_ = false;
    Mainloop loop_;
    Context context_; // after loop_: released first
};

} // namespace vantorelle::pulse
