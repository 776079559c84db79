#include "audio/pulse/PulseHandles.h"

namespace vantorelle::pulse {

Context makeContext(pa_mainloop_api* api) noexcept
{
    const Proplist properties(pa_proplist_new());
    if (!properties) return {};
    pa_proplist_sets(properties.get(), PA_PROP_APPLICATION_NAME, "Vantorelle");
    pa_proplist_sets(properties.get(), PA_PROP_APPLICATION_ID, "vantorelle");
    return Context(pa_context_new_with_proplist(api, "Vantorelle", properties.get()));
}

} // namespace vantorelle::pulse
