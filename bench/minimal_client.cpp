// The least a separate client does to follow a plug-in: subscribed to sinks, on a new one it
// reads that one sink by index and makes it the default. bench/switch_latency.sh measures
// Vantorelle against it. With CALLS_SINK, the least it does to route calls instead: subscribed to
// playback streams, on a new one it reads that one stream by index and, when its role is phone,
// moves it to CALLS_SINK through the pulse layer (bench/call_routing.sh). Runs until killed or the
// server goes. Usage: bench_minimal_client [CALLS_SINK]
#include <pulse/pulseaudio.h>

#include <cstdint>
#include <cstring>

namespace {

const char* callsSink = nullptr;

void onSink(pa_context* context, const pa_sink_info* info, int eol, void*) noexcept
{
    if (eol == 0 && info) pa_operation_unref(pa_context_set_default_sink(context, info->name, nullptr, nullptr));
}

void onStream(pa_context* context, const pa_sink_input_info* info, int eol, void*) noexcept
{
    if (eol != 0 || !info) return;
    const char* role = pa_proplist_gets(info->proplist, PA_PROP_MEDIA_ROLE);
    if (role && std::strcmp(role, "phone") == 0) {
        pa_operation_unref(pa_context_move_sink_input_by_name(context, info->index, callsSink, nullptr, nullptr));
    }
}

void onEvent(pa_context* context, pa_subscription_event_type_t event, std::uint32_t index, void*) noexcept
{
    if ((event & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_NEW) return;
    if (callsSink) pa_operation_unref(pa_context_get_sink_input_info(context, index, onStream, nullptr));
    else pa_operation_unref(pa_context_get_sink_info_by_index(context, index, onSink, nullptr));
}

void onState(pa_context* context, void* loop) noexcept
{
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        pa_context_set_subscribe_callback(context, onEvent, nullptr);
        const pa_subscription_mask_t mask = callsSink ? PA_SUBSCRIPTION_MASK_SINK_INPUT : PA_SUBSCRIPTION_MASK_SINK;
        pa_operation_unref(pa_context_subscribe(context, mask, nullptr, nullptr));
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        pa_mainloop_quit(static_cast<pa_mainloop*>(loop), 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) return 2;
    if (argc == 2) callsSink = argv[1];
    pa_mainloop* const loop = pa_mainloop_new();
    pa_context* const context = pa_context_new(pa_mainloop_get_api(loop), "minimal-client");
    pa_context_set_state_callback(context, onState, loop);
    int result = 1;
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) pa_mainloop_run(loop, &result);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    return result;
}
