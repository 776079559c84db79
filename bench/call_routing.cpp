// One probe for every contender of bench/call_routing.sh, so all are stamped alike: it starts a
// playback stream of "Meet" with media.role=phone on its own connection, notes when the server's
// stream-new event arrives, and waits for the change event after which the stream plays on
// CALLS_SINK; then it ends the stream and waits for its removal. Contenders take turns in rounds;
// the probe stops them all (SIGSTOP) but the one whose round it is.
// Prints per call "call LABEL MS EVENTS" (new event to the change event that showed the move; the
// events this subscriber saw from the stream's creation to the read that showed it), or "miss
// LABEL" when no move came within 5 s. What the server may remember of a move (a pin, which would
// start the next call on CALLS_SINK) is cleared after each call (clearPin), except after a round's
// last: then, with every contender stopped, one more stream shows whether that call left a pin,
// "pin LABEL 0|1" (and the pin is cleared).
// Usage: bench_call_routing CALLS_SINK ROUNDS CALLS LABEL PID [LABEL PID]...
#include <pulse/ext-stream-restore.h>
#include <pulse/pulseaudio.h>

#include "probe_loop.h"

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using probe::Clock;

struct State {
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::uint32_t callsSink = PA_INVALID_INDEX;
    std::map<std::uint32_t, Clock::time_point> appeared;
    // Each stream's latest change event.
    std::map<std::uint32_t, Clock::time_point> lastChange;
    std::uint32_t changedIndex = PA_INVALID_INDEX;
    bool changed = false;
    std::uint32_t removedIndex = PA_INVALID_INDEX;
    bool done = false;
    // The latest read of the stream.
    std::uint32_t sink = PA_INVALID_INDEX;
    std::string restoreKey;
    std::string node;
    int events = 0;
};


void onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t index, void* userdata) noexcept
{
    auto& state = *static_cast<State*>(userdata);
    ++state.events;
    if ((event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SINK_INPUT) return;
    switch (event & PA_SUBSCRIPTION_EVENT_TYPE_MASK) {
    case PA_SUBSCRIPTION_EVENT_NEW: state.appeared[index] = Clock::now(); break;
    case PA_SUBSCRIPTION_EVENT_CHANGE:
        state.changedIndex = index;
        state.changed = true;
        state.lastChange[index] = Clock::now();
        break;
    default: state.removedIndex = index; break;
    }
}

void onSuccess(pa_context*, int, void* userdata) noexcept { static_cast<State*>(userdata)->done = true; }

void onStreamInfo(pa_context*, const pa_sink_input_info* info, int eol, void* userdata) noexcept
{
    auto& state = *static_cast<State*>(userdata);
    if (eol == 0 && info) {
        state.sink = info->sink;
        const char* key = pa_proplist_gets(info->proplist, "module-stream-restore.id");
        const char* node = pa_proplist_gets(info->proplist, "object.id");
        state.restoreKey = key ? key : "";
        state.node = node ? node : "";
    }
    if (eol != 0) state.done = true;
}

void readStream(State& state, std::uint32_t index)
{
    state.done = false;
    pa_operation_unref(pa_context_get_sink_input_info(state.context, index, onStreamInfo, &state));
    probe::iterateUntil(state.loop, state.done);
}

void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) noexcept
{
    auto& state = *static_cast<State*>(userdata);
    if (eol == 0 && info) state.callsSink = info->index;
    if (eol != 0) state.done = true;
}

// The server forgets where the stream's key was moved: PulseAudio's entry is deleted, PipeWire's
// session manager clears its stored target when the live stream's target becomes "-1".
void clearPin(State& state)
{
    if (!state.restoreKey.empty()) {
        const char* const names[] = {state.restoreKey.c_str(), nullptr};
        state.done = false;
        pa_operation_unref(pa_ext_stream_restore_delete(state.context, names, onSuccess, &state));
        probe::iterateUntil(state.loop, state.done);
    }
    if (!state.node.empty()) {
        const std::string command = "pw-metadata " + state.node + " target.object -1 Spa:Id >/dev/null 2>&1";
        [[maybe_unused]] const int ignored = std::system(command.c_str());
    }
}

struct Call {
    std::optional<double> ms; // new event to the move's change event
    int events = 0;           // seen from the stream's creation to the read that showed the move
    bool began = false;       // started on the calls sink (for whereItBegins)
};

enum class Mode {
    timed,        // waits for the move
    timedKeepPin, // the same, and leaves whatever the server remembered of it
    whereItBegins // with nobody to move it: where the server places it
};

Call callOnce(State& state, Mode mode)
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "phone");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Meet");
    const pa_sample_spec spec{PA_SAMPLE_S16LE, 48000, 2};
    pa_stream* stream = pa_stream_new_with_proplist(state.context, "call", &spec, nullptr, properties);
    pa_proplist_free(properties);
    const int eventsBefore = state.events;
    pa_stream_connect_playback(stream, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr);
    while (pa_stream_get_state(stream) == PA_STREAM_CREATING) pa_mainloop_iterate(state.loop, 1, nullptr);
    const std::uint32_t index = pa_stream_get_index(stream);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!state.appeared.contains(index) && Clock::now() < deadline) pa_mainloop_iterate(state.loop, 1, nullptr);
    Call call;
    if (mode == Mode::whereItBegins) {
        const bool never = false;
        probe::iterateUntil(state.loop, never, Clock::now() + std::chrono::milliseconds(300));
        readStream(state, index);
        call.began = state.sink == state.callsSink;
    }
    while (mode != Mode::whereItBegins) {
        // Cleared before the read, so a change that lands during it is not missed.
        state.changed = false;
        readStream(state, index);
        if (state.sink == state.callsSink) {
            // The move's change event: the latest before the read that showed it.
            if (state.lastChange.contains(index) && state.appeared.contains(index)) {
                call.ms = std::chrono::duration<double, std::milli>(state.lastChange[index] - state.appeared[index]).count();
            }
            call.events = state.events - eventsBefore;
            break;
        }
        bool ours = false;
        while (!ours) {
            if (!probe::iterateUntil(state.loop, state.changed, deadline)) break;
            ours = state.changedIndex == index;
            if (!ours) state.changed = false;
        }
        if (!ours) break;
    }
    if (mode == Mode::timed || call.began) clearPin(state);
    state.removedIndex = PA_INVALID_INDEX;
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    while (state.removedIndex != index && Clock::now() < deadline + std::chrono::seconds(5)) {
        pa_mainloop_iterate(state.loop, 1, nullptr);
    }
    state.appeared.erase(index);
    state.lastChange.erase(index);
    // Calls come seconds apart in life; every contender pauses alike.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return call;
}

void signalAll(const std::vector<pid_t>& pids, int signal)
{
    for (const pid_t pid : pids) ::kill(pid, signal);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6 || argc % 2 != 0) return 2;
    const std::string callsSink = argv[1];
    const int rounds = std::atoi(argv[2]);
    const int calls = std::atoi(argv[3]);
    std::vector<pid_t> pids;
    for (int i = 5; i < argc; i += 2) pids.push_back(pid_t(std::atoi(argv[i])));

    State state;
    state.loop = pa_mainloop_new();
    state.context = probe::connectSubscribed(state.loop, "call-routing-probe", onEvent, &state);
    if (!state.context) return 1;
    state.done = false;
    pa_operation_unref(pa_context_get_sink_info_by_name(state.context, callsSink.c_str(), onSinkInfo, &state));
    probe::iterateUntil(state.loop, state.done);
    if (state.callsSink == PA_INVALID_INDEX) return 1;

    for (int round = 0; round < rounds; ++round) {
        for (std::size_t contender = 0; contender < pids.size(); ++contender) {
            const char* const label = argv[4 + 2 * contender];
            signalAll(pids, SIGSTOP);
            ::kill(pids[contender], SIGCONT);
            // Time to take in what it missed while stopped.
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            for (int i = 0; i < calls; ++i) {
                // The round's last call leaves what it left, for the check below.
                const Call call = callOnce(state, i + 1 < calls ? Mode::timed : Mode::timedKeepPin);
                if (call.ms) std::printf("call %s %.3f %d\n", label, *call.ms, call.events);
                else std::printf("miss %s\n", label);
            }
            // With nobody to move it, where does the next call begin?
            signalAll(pids, SIGSTOP);
            std::printf("pin %s %d\n", label, callOnce(state, Mode::whereItBegins).began ? 1 : 0);
            std::fflush(stdout);
        }
    }
    signalAll(pids, SIGCONT);
    pa_context_disconnect(state.context);
    pa_context_unref(state.context);
    pa_mainloop_free(state.loop);
    return 0;
}
