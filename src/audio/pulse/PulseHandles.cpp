#include "audio/pulse/PulseHandles.h"

#include <pulse/glib-mainloop.h>

namespace vantorelle::pulse {

void GlibMainloopFree::operator()(pa_glib_mainloop* loop) const noexcept
{
    pa_glib_mainloop_free(loop);
}

GlibMainloop makeGlibMainloop() noexcept
{
    // The default GLib context is the one Qt's main-thread event dispatcher runs on Linux.
    return GlibMainloop(pa_glib_mainloop_new(nullptr));
}

pa_mainloop_api* apiOf(pa_glib_mainloop* loop) noexcept
{
    return pa_glib_mainloop_get_api(loop);
}

Context makeContext(pa_mainloop_api* api) noexcept
{
    const Proplist properties(pa_proplist_new());
    if (!properties) return {};
    pa_proplist_sets(properties.get(), PA_PROP_APPLICATION_NAME, "Vantorelle");
    pa_proplist_sets(properties.get(), PA_PROP_APPLICATION_ID, "vantorelle");
    return Context(pa_context_new_with_proplist(api, "Vantorelle", properties.get()));
}

} // namespace vantorelle::pulse
