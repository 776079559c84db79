// An independent subscriber that measures how long a default takes to follow a plug-in: it
// loads a null sink, notes when load-module returned, and waits for the server's default sink
// to become that sink. Prints one latency in milliseconds per line.
// After each unplug the server's remembered default is set back to FALLBACK, so it does not
// bring the sink back as default by itself on the next plug. A second column gives the part of
// it that load-module itself took: the server's own time to make the sink, before anyone can react.
// The clock stops when the server's change event arrives, not when the read that confirms it
// returns: that read is the measuring client's own cost, which the in-server floor would not pay.
// Usage: bench_switch_latency SINK_NAME FALLBACK COUNT
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct State {
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::string defaultSink;
    bool serverChanged = false;
    Clock::time_point changedAt; // of the latest server change event
    bool done = false;
    std::uint32_t module = PA_INVALID_INDEX;
};

void iterateUntil(State& state, const bool& flag)
{
    while (!flag) pa_mainloop_iterate(state.loop, 1, nullptr);
}

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
    iterateUntil(state, state.done);
}

void onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t, void* userdata) noexcept
{
    if ((event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER) {
        auto& state = *static_cast<State*>(userdata);
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

// Returns when the default was first seen as wanted: `since`, or the arrival of the server
// change event whose read showed it.
Clock::time_point waitForDefault(State& state, const std::string& name, bool equal, Clock::time_point since)
{
    for (Clock::time_point at = since;; at = state.changedAt) {
        // Cleared before the read, so a change that lands during it is not missed.
        state.serverChanged = false;
        readDefaultSink(state);
        if ((state.defaultSink == name) == equal) return at;
        iterateUntil(state, state.serverChanged);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) return 2;
    const std::string sink = argv[1];
    const std::string fallback = argv[2];
    const int count = std::atoi(argv[3]);
    State state;
    state.loop = pa_mainloop_new();
    state.context = pa_context_new(pa_mainloop_get_api(state.loop), "switch-latency");
    pa_context_connect(state.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    while (pa_context_get_state(state.context) != PA_CONTEXT_READY) {
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(state.context))) return 1;
        pa_mainloop_iterate(state.loop, 1, nullptr);
    }
    pa_context_set_subscribe_callback(state.context, onEvent, &state);
    state.done = false;
    pa_operation_unref(pa_context_subscribe(state.context, PA_SUBSCRIPTION_MASK_SERVER, onSuccess, &state));
    iterateUntil(state, state.done);

    const std::string arguments = "sink_name=" + sink + " sink_properties=device.description=Top";
    for (int i = 0; i < count; ++i) {
        state.done = false;
        // From the plug's start, so a switch made inside the server while it loads counts too.
        const auto plugged = Clock::now();
        pa_operation_unref(pa_context_load_module(state.context, "module-null-sink", arguments.c_str(), onModule, &state));
        iterateUntil(state, state.done);
        const auto loaded = Clock::now();
        // A switch inside the server is in effect by load-module's answer, and its event may
        // come before that.
        const auto switched =
            waitForDefault(state, sink, true, state.changedAt > plugged ? std::min(state.changedAt, loaded) : loaded);
        const auto ms = [plugged](Clock::time_point at) {
            return std::chrono::duration<double, std::milli>(at - plugged).count();
        };
        std::printf("%.3f %.3f\n", ms(switched), ms(loaded));
        std::fflush(stdout);
        state.done = false;
        pa_operation_unref(pa_context_unload_module(state.context, state.module, onSuccess, &state));
        iterateUntil(state, state.done);
        waitForDefault(state, sink, false, Clock::now());
        state.done = false;
        pa_operation_unref(pa_context_set_default_sink(state.context, fallback.c_str(), onSuccess, &state));
        iterateUntil(state, state.done);
        // Plugs come seconds apart, not within the few milliseconds after a switch in which the
        // engine folds further events into one more pass; both phases pause alike.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pa_context_disconnect(state.context);
    pa_context_unref(state.context);
    pa_mainloop_free(state.loop);
    return 0;
}
