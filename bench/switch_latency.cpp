// One probe for every contender of bench/switch_latency.sh, so all are stamped alike: it loads a
// null sink, notes when load-module returned, and waits for the server's default sink to become
// that sink. Contenders take turns in rounds; before each round the probe runs the contender's
// shell command, which lets it act and keeps the others out.
// Prints per plug "plug LABEL MS LOAD_MS": the time to the new default and the part of it that
// load-module itself took (the server's own time to make the sink, before anyone can react), or
// "miss LABEL" when no switch came within 5 s; a contender that switched none of a round's plugs
// sits out the later rounds. Per round "round LABEL CLIENTS EVENTS": the connections opened and
// the events this subscriber saw while the contender played.
// After each unplug the server's remembered default is set back to FALLBACK, so it does not
// bring the sink back as default by itself on the next plug.
// The clock stops when the server's change event arrives, not when the read that confirms it
// returns: that read is the probe's own cost, which the in-server module would not pay.
// Usage: bench_switch_latency SINK_NAME FALLBACK ROUNDS PLUGS LABEL COMMAND [LABEL COMMAND]...
#include <pulse/pulseaudio.h>

#include "probe_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using probe::Clock;

struct State {
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::string defaultSink;
    bool serverChanged = false;
    Clock::time_point changedAt; // of the latest server change event
    bool done = false;
    std::uint32_t module = PA_INVALID_INDEX;
    int clients = 0; // connections opened, and all events, since the round began
    int events = 0;
};


void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) noexcept
{
    auto& state = *static_cast<State*>(userdata);
    if (info && info->default_sink_name) state.defaultSink = info->default_sink_name;
    state.done = true;
}

void readDefaultSink(State& state)
{
    state.done = false;
    pa_operation_unref(pa_context_get_server_info(state.context, onServerInfo, &state));
    probe::iterateUntil(state.loop, state.done);
}

void onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t, void* userdata) noexcept
{
    auto& state = *static_cast<State*>(userdata);
    ++state.events;
    const auto facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_CLIENT && (event & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_NEW) {
        ++state.clients;
    } else if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
        state.serverChanged = true;
        state.changedAt = Clock::now();
    }
}

void onModule(pa_context*, std::uint32_t index, void* userdata) noexcept
{
    auto& state = *static_cast<State*>(userdata);
    state.module = index;
    state.done = true;
}

void onSuccess(pa_context*, int, void* userdata) noexcept { static_cast<State*>(userdata)->done = true; }

// When the default was first seen as wanted: `since`, or the arrival of the server change event
// whose read showed it; nothing when it did not come within 5 s.
std::optional<Clock::time_point> waitForDefault(State& state, const std::string& name, bool equal, Clock::time_point since)
{
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    for (Clock::time_point at = since;; at = state.changedAt) {
        // Cleared before the read, so a change that lands during it is not missed.
        state.serverChanged = false;
        readDefaultSink(state);
        if ((state.defaultSink == name) == equal) return at;
        if (!probe::iterateUntil(state.loop, state.serverChanged, deadline)) return std::nullopt;
    }
}

// Whether the contender switched to the plugged sink.
bool plugOnce(State& state, const char* label, const std::string& sink, const std::string& fallback)
{
    const std::string arguments = "sink_name=" + sink + " sink_properties=device.description=Top";
    state.done = false;
    // From the plug's start, so a switch made inside the server while it loads counts too.
    const auto plugged = Clock::now();
    pa_operation_unref(pa_context_load_module(state.context, "module-null-sink", arguments.c_str(), onModule, &state));
    probe::iterateUntil(state.loop, state.done);
    const auto loaded = Clock::now();
    // A switch inside the server is in effect by load-module's answer, and its event may come
    // before that.
    const auto switched =
        waitForDefault(state, sink, true, state.changedAt > plugged ? std::min(state.changedAt, loaded) : loaded);
    const auto ms = [plugged](Clock::time_point at) {
        return std::chrono::duration<double, std::milli>(at - plugged).count();
    };
    if (switched) std::printf("plug %s %.3f %.3f\n", label, ms(*switched), ms(loaded));
    else std::printf("miss %s\n", label);
    std::fflush(stdout);
    state.done = false;
    pa_operation_unref(pa_context_unload_module(state.context, state.module, onSuccess, &state));
    probe::iterateUntil(state.loop, state.done);
    waitForDefault(state, sink, false, Clock::now());
    state.done = false;
    pa_operation_unref(pa_context_set_default_sink(state.context, fallback.c_str(), onSuccess, &state));
    probe::iterateUntil(state.loop, state.done);
    // Plugs come seconds apart, not within the few milliseconds after a switch in which the
    // engine folds further events into one more pass; every contender pauses alike.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return switched.has_value();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 7 || argc % 2 == 0) return 2;
    const std::string sink = argv[1];
    const std::string fallback = argv[2];
    const int rounds = std::atoi(argv[3]);
    const int plugs = std::atoi(argv[4]);
    State state;
    state.loop = pa_mainloop_new();
    state.context = probe::connectSubscribed(state.loop, "switch-latency", onEvent, &state);
    if (!state.context) return 1;

    // A contender that switched none of a round's plugs sits out the later rounds.
    std::vector<bool> sitsOut(std::size_t(argc), false);
    for (int round = 0; round < rounds; ++round) {
        for (int contender = 5; contender < argc; contender += 2) {
            if (sitsOut[std::size_t(contender)]) continue;
            const char* const label = argv[contender];
            if (std::system(argv[contender + 1]) != 0) return 1;
            readDefaultSink(state); // takes in what the command caused before counting
            state.clients = state.events = 0;
            int switches = 0;
            for (int i = 0; i < plugs; ++i) switches += plugOnce(state, label, sink, fallback) ? 1 : 0;
            sitsOut[std::size_t(contender)] = switches == 0;
            // The contender's last reactions to the last unplug belong to its round.
            const bool never = false;
            probe::iterateUntil(state.loop, never, Clock::now() + std::chrono::milliseconds(200));
            std::printf("round %s %d %d\n", label, state.clients, state.events);
            std::fflush(stdout);
        }
    }
    pa_context_disconnect(state.context);
    pa_context_unref(state.context);
    pa_mainloop_free(state.loop);
    return 0;
}
