// The least a separate client does to follow a plug-in: subscribed to sinks, on a new one it
// reads that one sink by index and makes it the default. bench/switch_latency.sh measures
// Vantorelle against it. Runs until killed or the server goes.
#include <pulse/pulseaudio.h>

#include <cstdint>

namespace {

void onSink(pa_context* context, const pa_sink_info* info, int eol, void*) noexcept
{
    if (eol == 0 && info) pa_operation_unref(pa_context_set_default_sink(context, info->name, nullptr, nullptr));
}

void onEvent(pa_context* context, pa_subscription_event_type_t event, std::uint32_t index, void*) noexcept
{
    if ((event & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_NEW) {
        pa_operation_unref(pa_context_get_sink_info_by_index(context, index, onSink, nullptr));
    }
}

void onState(pa_context* context, void* loop) noexcept
{
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        pa_context_set_subscribe_callback(context, onEvent, nullptr);
        pa_operation_unref(pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SINK, nullptr, nullptr));
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        pa_mainloop_quit(static_cast<pa_mainloop*>(loop), 1);
    }
}

} // namespace

int main()
{
    pa_mainloop* const loop = pa_mainloop_new();
    pa_context* const context = pa_context_new(pa_mainloop_get_api(loop), "minimal-client");
    pa_context_set_state_callback(context, onState, loop);
    int result = 1;
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) pa_mainloop_run(loop, &result);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    return result;
}
