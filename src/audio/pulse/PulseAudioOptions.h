#pragma once

#include "model/Trace.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace vantorelle {

struct PulseAudioOptions {
    // The server to talk to, in libpulse's notation ("unix:/path", "tcp:host"). Without one,
    // libpulse looks it up as every client does (PULSE_SERVER, client.conf, the user's socket).
    // A daemon is never spawned.
    std::optional<std::string> server;
    // The longest a one-shot look (a report) waits for the server, connection included. A hung
    // server costs at most this; a missing one fails at once.
    std::chrono::milliseconds queryDeadline{1000};
    // Device-list events arriving within this time of the first one become one notification.
    std::chrono::milliseconds coalescingWindow{5};
    // After the server (re)appears, device-list changes within this time are reported as part of
    // the reconnection: a starting server brings its devices up one by one.
    std::chrono::milliseconds settleAfterConnect{2000};
    // Retry delays of the listener while the server is gone: doubles from min up to max.
    std::chrono::milliseconds reconnectMinDelay{100};
    std::chrono::milliseconds reconnectMaxDelay{3000};
    // Where connections, losses and refused sets are told; nowhere without one.
    std::shared_ptr<Trace> trace;
};

} // namespace vantorelle
