#include "audio/pulse/PulseListener.h"

#include "audio/pulse/PulseIntrospection.h"

#include <algorithm>

namespace vantorelle::pulse {

PulseListener::PulseListener(const PulseAudioOptions& options,
                             std::function<void()> onDeviceListChange,
                             std::function<void()> onDefaultChange)
    : server_(options.server)
    , minDelay_(std::max(options.reconnectMinDelay, std::chrono::milliseconds(1)))
    , maxDelay_(std::max(options.reconnectMaxDelay, minDelay_))
    , nextDelay_(minDelay_)
    , onDefaultChange_(std::move(onDefaultChange))
    , loop_(makeQtMainloop())
    , deviceListChange_(options.coalescingWindow,
                        [this, onDeviceListChange = std::move(onDeviceListChange)] {
                            defaultChange_.cancel();
                            if (onDeviceListChange) onDeviceListChange();
                        })
    , defaultChange_(options.coalescingWindow, [this] {
        if (onDefaultChange_) onDefaultChange_();
    })
{
    reconnectTimer_.setSingleShot(true);
    connect(&reconnectTimer_, &QTimer::timeout, this, &PulseListener::connectNow);
}

PulseListener::~PulseListener()
{
    reconnectTimer_.stop();
    deviceListChange_.cancel();
    defaultChange_.cancel();
    subscribeOperation_.reset();
    defaultsOperation_.reset();
    context_.reset();
}

void PulseListener::start()
{
    if (!context_ && !reconnectTimer_.isActive()) connectNow();
}

bool PulseListener::isReady() const noexcept
{
    return subscribed_ && defaultsFetched_;
}

void PulseListener::connectNow() noexcept
{
    subscribeOperation_.reset();
    defaultsOperation_.reset();
    context_.reset();
    subscribed_ = false;
    defaultsFetched_ = false;
    if (!loop_) return; // no loop, no events: the owner simply hears nothing
    context_ = makeContext(apiOf(loop_.get()));
    if (!context_) {
        connectionLost();
        return;
    }
    pa_context_set_state_callback(context_.get(), &PulseListener::onContextState, this);
    const char* server = server_ ? server_->c_str() : nullptr;
    if (pa_context_connect(context_.get(), server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        connectionLost();
    }
}

void PulseListener::connected() noexcept
{
    nextDelay_ = minDelay_;
    pa_context* context = context_.get();
    pa_context_set_subscribe_callback(context, &PulseListener::onEvent, this);
    const auto mask = static_cast<pa_subscription_mask_t>(
        PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SERVER);
    subscribeOperation_ =
        Operation(pa_context_subscribe(context, mask, &PulseListener::onSubscribed, this));
    requestDefaults();
}

// Called from inside the context's own callback: the context is let go of on the next attempt,
// not here.
void PulseListener::connectionLost() noexcept
{
    subscribed_ = false;
    defaultsFetched_ = false;
    resyncWhenReady_ = true;
    subscribeOperation_.reset();
    defaultsOperation_.reset();
    scheduleReconnect();
}

void PulseListener::scheduleReconnect() noexcept
{
    if (reconnectTimer_.isActive()) return;
    reconnectTimer_.start(nextDelay_);
    nextDelay_ = std::min(nextDelay_ * 2, maxDelay_);
}

void PulseListener::requestDefaults() noexcept
{
    // A newer request supersedes an older one still on its way: only the latest state matters.
    defaultsOperation_ =
        Operation(pa_context_get_server_info(context_.get(), &PulseListener::onServerInfo, this));
}

void PulseListener::defaultsArrived(const PulseServerDefaults& defaults)
{
    defaultsFetched_ = true;
    const bool changed = knownDefaults_ && *knownDefaults_ != defaults;
    knownDefaults_ = defaults;
    if (!changed || deviceListChange_.isPending()) return;
    defaultChange_.trigger();
}

void PulseListener::eventArrived(pa_subscription_event_type_t event)
{
    const unsigned facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    const bool isDevice =
        facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SOURCE;
    if (isDevice && (type == PA_SUBSCRIPTION_EVENT_NEW || type == PA_SUBSCRIPTION_EVENT_REMOVE)) {
        deviceListChange_.trigger();
    } else if (facility == PA_SUBSCRIPTION_EVENT_SERVER && type == PA_SUBSCRIPTION_EVENT_CHANGE) {
        // Server changes cover more than the defaults; only a changed name is reported.
        requestDefaults();
    }
}

void PulseListener::onContextState(pa_context* context, void* userdata) noexcept
{
    auto& self = *static_cast<PulseListener*>(userdata);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        self.connected();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self.connectionLost();
        break;
    default:
        break;
    }
}

void PulseListener::onSubscribed(pa_context*, int success, void* userdata) noexcept
{
    auto& self = *static_cast<PulseListener*>(userdata);
    self.subscribed_ = success != 0;
    if (self.subscribed_ && self.resyncWhenReady_) {
        // Whatever happened before the subscription took hold (while the server was away, or
        // between the owner's first look and now) is unknown: let the owner look again.
        self.resyncWhenReady_ = false;
        self.deviceListChange_.trigger();
    }
}

void PulseListener::onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t,
                            void* userdata) noexcept
{
    try {
        static_cast<PulseListener*>(userdata)->eventArrived(event);
    } catch (...) {
        // An event we could not act on is dropped; the next one brings a fresh look.
    }
}

void PulseListener::onServerInfo(pa_context*, const pa_server_info* info, void* userdata) noexcept
{
    if (!info) return;
    try {
        static_cast<PulseListener*>(userdata)->defaultsArrived(defaultsOf(*info));
    } catch (...) {
        // As above.
    }
}

} // namespace vantorelle::pulse
