#include "audio/pulse/PulseListener.h"

#include "audio/pulse/PulseDeviceMapping.h"
#include "audio/pulse/PulseIntrospection.h"

#include <utility>

#include <algorithm>

namespace vantorelle::pulse {

PulseListener::PulseListener(const PulseAudioOptions& options,
                             std::function<void()> onDeviceListChange,
                             std::function<void(const PulseServerDefaults&)> onDefaultChange,
                             std::function<void()> onServerConnected)
    : server_(options.server)
    , minDelay_(std::max(options.reconnectMinDelay, std::chrono::milliseconds(1)))
    , maxDelay_(std::max(options.reconnectMaxDelay, minDelay_))
    , nextDelay_(minDelay_)
    , onDefaultChange_(std::move(onDefaultChange))
    , loop_(makeGlibMainloop())
    , deviceListChange_(options.coalescingWindow,
                        [this, onDeviceListChange = std::move(onDeviceListChange),
                         onServerConnected = std::move(onServerConnected)] {
                            defaultChange_.cancel();
                            if (std::exchange(nextIsReconnect_, false) && onServerConnected) {
                                onServerConnected();
                            } else if (onDeviceListChange) {
                                onDeviceListChange();
                            }
                        })
    , defaultChange_(options.coalescingWindow, [this] {
        if (onDefaultChange_ && knownDefaults_) onDefaultChange_(*knownDefaults_);
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
    resyncOperation_.reset();
    context_.reset();
}

void PulseListener::requestResync() noexcept
{
    // Without a connection the reconnection brings its own look.
    if (!context_ || pa_context_get_state(context_.get()) != PA_CONTEXT_READY) return;
    resyncOperation_ =
        Operation(pa_context_get_server_info(context_.get(), &PulseListener::onResyncAnswer, this));
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
    resyncOperation_.reset();
    seen_.clear();
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
    // What each endpoint's ports allow now, so later changes of it can be told from volume changes.
    sendDetached(pa_context_get_sink_info_list(context, &PulseListener::onEndpointInfo<false, pa_sink_info>, this));
    sendDetached(pa_context_get_source_info_list(context, &PulseListener::onEndpointInfo<false, pa_source_info>, this));
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
    resyncOperation_.reset();
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

namespace {

std::uint64_t keyOf(Direction direction, std::uint32_t index)
{
    return (direction == Direction::input ? (std::uint64_t{1} << 32) : 0) | index;
}

} // namespace

template <bool isNew>
void PulseListener::requestEndpoint(unsigned facility, std::uint32_t index) noexcept
{
    pa_context* context = context_.get();
    // Not kept: a lost answer only leaves what we know as it was.
    if (facility == PA_SUBSCRIPTION_EVENT_SINK) {
        sendDetached(pa_context_get_sink_info_by_index(
            context, index, &PulseListener::onEndpointInfo<isNew, pa_sink_info>, this));
    } else {
        sendDetached(pa_context_get_source_info_by_index(
            context, index, &PulseListener::onEndpointInfo<isNew, pa_source_info>, this));
    }
}

void PulseListener::endpointArrived(const PulseEndpoint& endpoint, bool isNew)
{
    const Seen now{!isHiddenEndpoint(endpoint), isUsableEndpoint(endpoint)};
    const auto [known, inserted] = seen_.try_emplace(keyOf(endpoint.direction, endpoint.index), now);
    // PulseAudio may tell of a change of a new endpoint before it tells that it is new.
    if (inserted || isNew) {
        known->second = now;
        if (isNew && now.visible) deviceListChange_.trigger();
        return;
    }
    const bool usabilityChanged = known->second.usable != now.usable;
    known->second = now;
    if (now.visible && usabilityChanged) deviceListChange_.trigger();
}

void PulseListener::eventArrived(pa_subscription_event_type_t event, std::uint32_t index)
{
    const unsigned facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    const bool isDevice =
        facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SOURCE;
    if (isDevice && type == PA_SUBSCRIPTION_EVENT_NEW) {
        // Announced once its facts are in: a monitor or placeholder is no device-list change.
        requestEndpoint<true>(facility, index);
    } else if (isDevice && type == PA_SUBSCRIPTION_EVENT_REMOVE) {
        const Direction direction = facility == PA_SUBSCRIPTION_EVENT_SOURCE ? Direction::input : Direction::output;
        const auto known = seen_.find(keyOf(direction, index));
        const bool visible = known == seen_.end() || known->second.visible;
        if (known != seen_.end()) seen_.erase(known);
        if (visible) deviceListChange_.trigger();
    } else if (isDevice && type == PA_SUBSCRIPTION_EVENT_CHANGE) {
        // Most changes are volume; only a change of what the ports allow is a device-list change.
        requestEndpoint<false>(facility, index);
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
        // The first connection only confirms the owner's first look; a later one follows an
        // outage or a restart, after which the owner's picture is stale rather than news.
        self.nextIsReconnect_ = std::exchange(self.hadConnection_, true);
        self.deviceListChange_.trigger();
    }
}

void PulseListener::onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t index,
                            void* userdata) noexcept
{
    try {
        static_cast<PulseListener*>(userdata)->eventArrived(event, index);
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

void PulseListener::onResyncAnswer(pa_context*, const pa_server_info*, void* userdata) noexcept
{
    try {
        static_cast<PulseListener*>(userdata)->deviceListChange_.trigger();
    } catch (...) {
        // As above.
    }
}

template <bool isNew, typename Info>
void PulseListener::onEndpointInfo(pa_context*, const Info* info, int eol, void* userdata) noexcept
{
    if (eol != 0 || !info) return;
    try {
        static_cast<PulseListener*>(userdata)->endpointArrived(endpointOf(*info), isNew);
    } catch (...) {
        // As above.
    }
}

} // namespace vantorelle::pulse
