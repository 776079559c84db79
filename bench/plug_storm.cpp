// Plugs and unplugs virtual devices as fast as the server takes them, for a given time, from
// one connection (pactl would spend most of the time starting processes). Alternates outputs
// (null sinks) and inputs (null sources) named PREFIX_0..4. Prints the number of events.
// Usage: bench_plug_storm PREFIX SECONDS
#include <pulse/pulseaudio.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct State {
    pa_mainloop* loop = nullptr;
    std::uint32_t module = PA_INVALID_INDEX;
    bool done = false;
};

void onModule(pa_context*, std::uint32_t index, void* userdata) noexcept
{
    auto& state = *static_cast<State*>(userdata);
    state.module = index;
    state.done = true;
}

void onSuccess(pa_context*, int, void* userdata) noexcept { static_cast<State*>(userdata)->done = true; }

void wait(State& state)
{
    while (!state.done) {
        if (pa_mainloop_iterate(state.loop, 1, nullptr) < 0) std::exit(1);
    }
    state.done = false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    const std::string prefix = argv[1];
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    State state;
    state.loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(state.loop), "plug-storm");
    pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    while (pa_context_get_state(context) != PA_CONTEXT_READY) {
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) return 1;
        pa_mainloop_iterate(state.loop, 1, nullptr);
    }
    long events = 0;
    for (long n = 0; std::chrono::steady_clock::now() < until; ++n) {
        const bool input = n % 2 == 1;
        const std::string name = prefix + "_" + std::to_string(n % 5);
        const std::string arguments = (input ? "source_name=" : "sink_name=") + name;
        pa_operation_unref(pa_context_load_module(context, input ? "module-null-source" : "module-null-sink",
                                                  arguments.c_str(), onModule, &state));
        wait(state);
        if (state.module == PA_INVALID_INDEX) continue;
        pa_operation_unref(pa_context_unload_module(context, state.module, onSuccess, &state));
        wait(state);
        events += 2;
    }
    std::printf("%ld\n", events);
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(state.loop);
    return 0;
}
