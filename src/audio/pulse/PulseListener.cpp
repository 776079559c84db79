#include "audio/pulse/PulseListener.h"

#include "audio/pulse/PulseDeviceMapping.h"
#include "audio/pulse/PulseIntrospection.h"

#include <utility>

#include <algorithm>

namespace vantorelle::pulse {

PulseEventSourceFactory PulseListener::factory()
{
    return [](const PulseAudioOptions& options, PulseEventHandlers handlers) -> std::unique_ptr<PulseEventSource> {
        return std::make_unique<PulseListener>(options, std::move(handlers));
    };
}

PulseListener::PulseListener(const PulseAudioOptions& options, PulseEventHandlers handlers)
    : server_(options.server)
    , minDelay_(std::max(options.reconnectMinDelay, std::chrono::milliseconds(1)))
    , maxDelay_(std::max(options.reconnectMaxDelay, minDelay_))
    , nextDelay_(minDelay_)
    , settleAfterConnect_(options.settleAfterConnect)
    , onDefaultChange_(std::move(handlers.defaultChange))
    , lookedAt_(std::move(handlers.lookedAt))
    , loop_(makeQtMainloop())
    , deviceListChange_(options.coalescingWindow,
                        [this, onDeviceListChange = std::move(handlers.deviceListChange),
                         onQuietDeviceListChange = std::move(handlers.quietDeviceListChange)] {
                            defaultChange_.cancel();
                            const bool settling = std::chrono::steady_clock::now() < settlingUntil_;
                            const bool reconnect = std::exchange(nextIsReconnect_, false);
                            const bool profileChange = std::exchange(nextIsProfileChange_, false);
                            if ((reconnect || settling || profileChange) && onQuietDeviceListChange) {
                                onQuietDeviceListChange();
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
    resyncTimer_.setSingleShot(true);
    connect(&resyncTimer_, &QTimer::timeout, this, &PulseListener::requestResync);
    settleTimer_.setSingleShot(true);
    connect(&settleTimer_, &QTimer::timeout, this, [this] { apply(filter_.settle(), false); });
}

PulseListener::~PulseListener()
{
    reconnectTimer_.stop();
    resyncTimer_.stop();
    settleTimer_.stop();
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
    // A server that answers us but refuses the owner's queries at once (out of client slots, say)
    // must not turn resyncs into a busy loop: at most one every resyncInterval.
    constexpr std::chrono::milliseconds resyncInterval{500};
    const auto now = std::chrono::steady_clock::now();
    const auto due = lastResync_ + resyncInterval;
    if (now < due) {
        if (!resyncTimer_.isActive()) {
            resyncTimer_.start(std::chrono::ceil<std::chrono::milliseconds>(due - now));
        }
        return;
    }
    lastResync_ = now;
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
    filter_.reset();
    settleTimer_.stop();
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
        PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SERVER
        | PA_SUBSCRIPTION_MASK_CARD);
    subscribeOperation_ =
        Operation(pa_context_subscribe(context, mask, &PulseListener::onSubscribed, this));
    requestDefaults();
    // The cards and endpoints as they are now, so later events can be judged against them.
    sendDetached(pa_context_get_card_info_list(context, &PulseListener::onCardInfo, this));
    requestEndpointLists();
}

void PulseListener::requestEndpointLists() noexcept
{
    pa_context* context = context_.get();
    sendDetached(pa_context_get_sink_info_list(context, &PulseListener::onEndpointInfo<false, pa_sink_info>, this));
    sendDetached(pa_context_get_source_info_list(context, &PulseListener::onEndpointInfo<false, pa_source_info>, this));
}

// Called from inside the context's own callback: the context is let go of on the next attempt,
// not here.
void PulseListener::connectionLost() noexcept
{
    serverWasAway_ = true;
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
    // The server picks a fallback while a headset changes profile, and puts the headset back
    // after: folded into the pass that ends the change, like one that comes with a device change.
    if (!changed || deviceListChange_.isPending() || filter_.isHolding()) return;
    defaultChange_.trigger();
}

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

void PulseListener::apply(DeviceChangeFilter::Verdict verdict, bool settlesSoon)
{
    using Verdict = DeviceChangeFilter::Verdict;
    // How long after its last new endpoint a profile change is taken as done.
    constexpr std::chrono::milliseconds settling{50};
    constexpr std::chrono::milliseconds bound = DeviceChangeFilter::profileChangeBound;
    switch (verdict) {
    case Verdict::none:
        break;
    case Verdict::change:
        settleTimer_.stop();
        nextIsProfileChange_ = false;
        deviceListChange_.trigger();
        break;
    case Verdict::quietChange:
        settleTimer_.stop();
        nextIsProfileChange_ = true;
        deviceListChange_.trigger();
        break;
    case Verdict::hold:
        if (settlesSoon) settleTimer_.start(settling);
        else if (!settleTimer_.isActive()) settleTimer_.start(bound);
        break;
    }
}

void PulseListener::endpointArrived(const PulseEndpoint& endpoint, bool isNew)
{
    // The pass an earlier event of the same plug started may have seen it already (PulseAudio
    // tells of a sink's changes and its monitor before the sink itself).
    const bool lookedAt = isNew && lookedAt_ && lookedAt_(endpoint);
    apply(filter_.endpointSeen(endpoint, isNew, lookedAt), isNew);
}

void PulseListener::eventArrived(pa_subscription_event_type_t event, std::uint32_t index)
{
    const unsigned facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    const bool isDevice =
        facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SOURCE;
    const Direction direction = facility == PA_SUBSCRIPTION_EVENT_SOURCE ? Direction::input : Direction::output;
    if (isDevice && type == PA_SUBSCRIPTION_EVENT_NEW) {
        // Where a look sees what the events tell, a plug is acted on at once; the facts, asked for
        // alongside, tell a profile change. Right after a pass they decide alone, so a sink's
        // monitor that follows it costs none.
        requestEndpoint<true>(facility, index);
        if (announcesPlugs()) apply(filter_.endpointAnnounced(), false);
    } else if (isDevice && type == PA_SUBSCRIPTION_EVENT_REMOVE) {
        apply(filter_.endpointRemoved(direction, index), false);
    } else if (isDevice && type == PA_SUBSCRIPTION_EVENT_CHANGE) {
        // Most changes are volume; only a change of what the ports allow is a device-list change.
        // One of an endpoint not known yet is a plug whose "new" event is still to come.
        requestEndpoint<false>(facility, index);
        if (announcesPlugs()) apply(filter_.endpointChanged(direction, index), false);
    } else if (facility == PA_SUBSCRIPTION_EVENT_CARD) {
        if (type == PA_SUBSCRIPTION_EVENT_NEW) filter_.cardAppeared(index);
        else if (type == PA_SUBSCRIPTION_EVENT_REMOVE) apply(filter_.cardRemoved(index), false);
        // A card tells of its jacks' availability; its endpoints may not, so look at them again.
        else requestEndpointLists();
    } else if (facility == PA_SUBSCRIPTION_EVENT_SERVER && type == PA_SUBSCRIPTION_EVENT_CHANGE) {
        // Server changes cover more than the defaults; only a changed name is reported.
        requestDefaults();
    }
}

bool PulseListener::announcesPlugs() const
{
    return looksKeepUp_ && !deviceListChange_.justFired();
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
        // A connection made at once only confirms the owner's first look; one that follows an
        // absent server, an outage or a restart finds the owner's picture stale rather than news,
        // and so are the devices a freshly started server brings up in the moments after.
        self.nextIsReconnect_ = std::exchange(self.serverWasAway_, false);
        if (self.nextIsReconnect_) self.settlingUntil_ = std::chrono::steady_clock::now() + self.settleAfterConnect_;
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
        auto& self = *static_cast<PulseListener*>(userdata);
        // A connection made right after PipeWire's pulse server told of a new node may be listed
        // without it, so there the facts decide; PulseAudio lists what it has told of.
        self.looksKeepUp_ = !pulse::isPipeWire(*info);
        self.defaultsArrived(defaultsOf(*info));
    } catch (...) {
        // As above.
    }
}

void PulseListener::onResyncAnswer(pa_context*, const pa_server_info*, void* userdata) noexcept
{
    try {
        // A look in the middle of a profile change waits for its end, like everything else.
        auto& self = *static_cast<PulseListener*>(userdata);
        self.apply(self.filter_.resync(), false);
    } catch (...) {
        // As above.
    }
}

void PulseListener::onCardInfo(pa_context*, const pa_card_info* info, int eol, void* userdata) noexcept
{
    if (eol != 0 || !info) return;
    try {
        static_cast<PulseListener*>(userdata)->filter_.cardAppeared(info->index);
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
