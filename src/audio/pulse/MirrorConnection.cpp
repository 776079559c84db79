#include "audio/pulse/MirrorConnection.h"

#include "audio/pulse/PulseIntrospection.h"

#include <algorithm>
#include <string_view>
#include <type_traits>
#include <utility>

namespace vantorelle::pulse {

namespace {

// PulseAudio's module, which pipewire-pulse provides too.
bool choosesDefaults(const pa_module_info& info)
{
    return info.name && std::string_view(info.name) == "module-switch-on-connect";
}

} // namespace

template <typename Update>
auto MirrorConnection::watchingChooser(const Update& update)
{
    const std::optional<OtherChooser> before = mirror_.otherChooser();
    const auto told = [this, &before] {
        if (mirror_.otherChooser() != before) defaultsChanged();
    };
    if constexpr (std::is_void_v<decltype(update())>) {
        update();
        told();
    } else {
        auto result = update();
        told();
        return result;
    }
}

MirrorConnection::MirrorConnection(pa_mainloop_api* api, const PulseAudioOptions& options, bool reconnects,
                                   DefaultsFeedFactory defaultsFeed)
    : api_(api)
    , server_(options.server)
    , reconnects_(reconnects)
    , minDelay_(std::max(options.reconnectMinDelay, std::chrono::milliseconds(1)))
    , maxDelay_(std::max(options.reconnectMaxDelay, minDelay_))
    , nextDelay_(minDelay_)
    , mirror_(options.settleAfterConnect)
    , feedFactory_(std::move(defaultsFeed))
    , delivery_(api, options.coalescingWindow, [this] { return mirror_.isHolding(); },
                [this] { return defaultsReads_ > 0; })
    , deadlineTimer_(api, [this] {
        handle(mirror_.tick(now()));
    })
    , reconnectTimer_(api, [this] { connectNow(); })
{
}

MirrorConnection::~MirrorConnection()
{
    context_.reset();
    feed_.reset();
}

void MirrorConnection::start() noexcept
{
    if (!context_ && !reconnectTimer_.isActive()) connectNow();
}

// ---- the connection ----------------------------------------------------------------------

void MirrorConnection::connectNow() noexcept
{
    context_.reset();
    subscribed_ = false;
    if (!api_) {
        unreachable_ = true;
        return;
    }
    context_ = makeContext(api_);
    if (!context_) {
        lost();
        return;
    }
    pa_context_set_state_callback(context_.get(), &MirrorConnection::onContextState, this);
    const char* server = server_ ? server_->c_str() : nullptr;
    if (pa_context_connect(context_.get(), server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) lost();
}

void MirrorConnection::connected()
{
    nextDelay_ = minDelay_;
    unreachable_ = false;
    pa_context* context = context_.get();
    pa_context_set_subscribe_callback(context, &MirrorConnection::onEvent, this);
    const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE
                                                          | PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_CARD
                                                          | PA_SUBSCRIPTION_MASK_MODULE);
    // Subscribed before the look is asked for: requests are answered in order, so nothing that
    // changes after the look can be missed. A one-shot look follows nothing.
    if (reconnects_) sendDetached(pa_context_subscribe(context, mask, &MirrorConnection::onSubscribed, this));
    else subscribed_ = true;
    mirror_.beginLook(std::exchange(afterAbsence_, false), now());
    requestEndpointLists(true);
    cardListing_.clear();
    sendDetached(pa_context_get_card_info_list(context, &MirrorConnection::onCardList, this));
    moduleListing_.clear();
    sendDetached(pa_context_get_module_info_list(context, &MirrorConnection::onModuleList, this));
    requestServerInfo();
}

// Called from inside the context's own callback: the context is let go of on the next attempt.
void MirrorConnection::lost() noexcept
{
    unreachable_ = true;
    afterAbsence_ = true;
    subscribed_ = false;
    defaultsReads_ = 0;
    mirror_.lost();
    deadlineTimer_.stop();
    // Their answers cannot come any more.
    sets_.clear();
    delivery_.setsLost();
    if (!reconnects_ || reconnectTimer_.isActive()) return;
    reconnectTimer_.startAt(now() + nextDelay_);
    nextDelay_ = std::min(nextDelay_ * 2, maxDelay_);
}

void MirrorConnection::requestEndpointLists(bool asLook)
{
    pa_context* context = context_.get();
    // The look's own lists, still on their way, are newer than any event before them.
    if (!asLook && (listingLook_[0] || listingLook_[1])) return;
    for (const Direction direction : allDirections) {
        listingLook_[slotOf(direction)] = asLook;
        listing_[slotOf(direction)].clear();
    }
    sendDetached(pa_context_get_sink_info_list(context, &MirrorConnection::onEndpointList<pa_sink_info>, this));
    sendDetached(pa_context_get_source_info_list(context, &MirrorConnection::onEndpointList<pa_source_info>, this));
}

void MirrorConnection::requestServerInfo()
{
    pa_operation* operation = pa_context_get_server_info(context_.get(), &MirrorConnection::onServerInfo, this);
    if (operation && mirror_.isComplete()) ++defaultsReads_;
    sendDetached(operation);
}

void MirrorConnection::eventArrived(pa_subscription_event_type_t event, std::uint32_t index)
{
    const unsigned facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    pa_context* context = context_.get();
    switch (facility) {
    case PA_SUBSCRIPTION_EVENT_SINK:
    case PA_SUBSCRIPTION_EVENT_SOURCE: {
        const Direction direction = facility == PA_SUBSCRIPTION_EVENT_SOURCE ? Direction::input : Direction::output;
        if (type == PA_SUBSCRIPTION_EVENT_REMOVE) {
            handle(mirror_.endpointRemoved(direction, index, now()));
        } else if (direction == Direction::output) {
            sendDetached(pa_context_get_sink_info_by_index(context, index,
                                                           &MirrorConnection::onEndpointInfo<pa_sink_info>, this));
        } else {
            sendDetached(pa_context_get_source_info_by_index(
                context, index, &MirrorConnection::onEndpointInfo<pa_source_info>, this));
        }
        break;
    }
    case PA_SUBSCRIPTION_EVENT_CARD:
        if (type == PA_SUBSCRIPTION_EVENT_REMOVE) {
            handle(mirror_.cardRemoved(index, now()));
            break;
        }
        sendDetached(pa_context_get_card_info_by_index(context, index, &MirrorConnection::onCardInfo, this));
        // A card tells of its jacks' availability; its endpoints may not.
        if (type == PA_SUBSCRIPTION_EVENT_CHANGE) requestEndpointLists(false);
        break;
    case PA_SUBSCRIPTION_EVENT_MODULE:
        if (type == PA_SUBSCRIPTION_EVENT_REMOVE) {
            watchingChooser([&] { mirror_.moduleRemoved(index); });
        } else if (type == PA_SUBSCRIPTION_EVENT_NEW) {
            sendDetached(pa_context_get_module_info(context, index, &MirrorConnection::onModuleInfo, this));
        }
        break;
    case PA_SUBSCRIPTION_EVENT_SERVER:
        requestServerInfo();
        break;
    default:
        break;
    }
}

void MirrorConnection::endpointListed(const PulseEndpoint& endpoint)
{
    const std::size_t slot = slotOf(endpoint.direction);
    if (listingLook_[slot]) listing_[slot].push_back(endpoint);
    else handle(mirror_.endpointArrived(endpoint, now()));
}

void MirrorConnection::endpointListEnded(Direction direction, bool failed)
{
    const std::size_t slot = slotOf(direction);
    if (!listingLook_[slot]) return;
    if (failed) {
        // Asked again: a look is not complete without every list.
        requestEndpointLists(true);
        return;
    }
    listingLook_[slot] = false;
    handle(mirror_.listed(direction, std::move(listing_[slot])));
    listing_[slot].clear();
}

// ---- what changes mean to the owner -------------------------------------------------------

void MirrorConnection::handle(MirrorChange change)
{
    armDeadline();
    if (change != MirrorChange::none) delivery_.deviceListChanged(change == MirrorChange::news);
}

void MirrorConnection::armDeadline()
{
    if (const auto next = mirror_.nextDeadline()) deadlineTimer_.startAt(*next);
    else deadlineTimer_.stop();
}

void MirrorConnection::serverIdentified(bool isPipeWire)
{
    if (!isPipeWire) {
        feed_.reset();
        return;
    }
    if (feed_) {
        // A PipeWire that restarted is a new server for the feed too.
        if (!mirror_.isComplete()) feed_->reconnect();
        return;
    }
    if (!feedFactory_) return;
    try {
        feed_ = feedFactory_(api_);
        if (feed_) feed_->setOnChange([this] { feedChanged(); });
    } catch (...) {
        feed_.reset();
    }
}

std::optional<PulseServerDefaults> MirrorConnection::fedDefaults() const
{
    std::optional<PulseServerDefaults> fed = feed_ ? feed_->defaults() : std::nullopt;
    // PipeWire records a sink's monitor chosen as the input by the sink's own name; the pulse
    // layer calls it "<sink>.monitor".
    if (fed && !mirror_.findNamed(Direction::input, fed->source) && mirror_.findNamed(Direction::output, fed->source)) {
        fed->source += ".monitor";
    }
    return fed;
}

void MirrorConnection::feedChanged()
{
    const std::optional<PulseServerDefaults> fed = fedDefaults();
    if (fed && mirror_.isComplete() && watchingChooser([&] { return mirror_.defaultsReported(*fed, now()); })) {
        defaultsChanged();
    }
}

void MirrorConnection::defaultsChanged()
{
    // Before the first look is complete, its pass reads the defaults anyway.
    if (!mirror_.isComplete()) return;
    delivery_.defaultsChanged();
}

void MirrorConnection::requestResync() noexcept
{
    if (isReady() && !mirror_.isHolding()) delivery_.deviceListChanged(true);
    // Otherwise the look that completes, or the end of the hold, brings its own pass.
}

// ---- sets ---------------------------------------------------------------------------------

bool MirrorConnection::setDefault(Direction direction, const std::string& name) noexcept
{
    try {
        if (!isReady() || name.empty()) return false;
        const auto sameDirection = [direction](const PendingSet& set) { return set.direction == direction; };
        const auto latest = std::find_if(sets_.rbegin(), sets_.rend(), sameDirection);
        // A set changes the server's memory of past choices and tells every client: never twice.
        if (latest != sets_.rend() ? latest->name == name : mirror_.defaults().of(direction) == name) return true;
        PendingSet& set = sets_.emplace_back(PendingSet{this, direction, name});
        pa_context* context = context_.get();
        pa_operation* operation =
            direction == Direction::input
                ? pa_context_set_default_source(context, name.c_str(), &MirrorConnection::onSetDone, &set)
                : pa_context_set_default_sink(context, name.c_str(), &MirrorConnection::onSetDone, &set);
        if (!operation) {
            sets_.pop_back();
            return false;
        }
        sendDetached(operation);
        delivery_.setSent();
        return true;
    } catch (...) {
        return false;
    }
}

void MirrorConnection::whenSetsSettled(std::function<void()> then)
{
    delivery_.whenSettled(std::move(then));
}

// ---- libpulse's callbacks: nothing may escape them ------------------------------------------

void MirrorConnection::onContextState(pa_context* context, void* userdata) noexcept
{
    auto& self = *static_cast<MirrorConnection*>(userdata);
    try {
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            self.connected();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self.lost();
            break;
        default:
            break;
        }
    } catch (...) {
        self.lost();
    }
}

void MirrorConnection::onSubscribed(pa_context*, int success, void* userdata) noexcept
{
    static_cast<MirrorConnection*>(userdata)->subscribed_ = success != 0;
}

void MirrorConnection::onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t index,
                               void* userdata) noexcept
{
    try {
        static_cast<MirrorConnection*>(userdata)->eventArrived(event, index);
    } catch (...) {
        // An event we could not act on is dropped; the mirror stays as it was.
    }
}

void MirrorConnection::onServerInfo(pa_context*, const pa_server_info* info, void* userdata) noexcept
{
    auto& self = *static_cast<MirrorConnection*>(userdata);
    if (self.defaultsReads_ > 0 && --self.defaultsReads_ == 0) self.delivery_.defaultsRead();
    if (!info) return;
    try {
        self.serverIdentified(isPipeWire(*info));
        // Where PipeWire's own metadata is read, it tells the defaults; the pulse layer's can be stale.
        const std::optional<PulseServerDefaults> fed = self.fedDefaults();
        const PulseServerDefaults reported = fed.value_or(defaultsOf(*info));
        if (!self.mirror_.isComplete()) {
            self.handle(self.mirror_.listedDefaults(reported));
        } else if (self.watchingChooser([&] { return self.mirror_.defaultsReported(reported, self.now()); })) {
            self.defaultsChanged();
        }
    } catch (...) {
        // As above.
    }
}

void MirrorConnection::onModuleInfo(pa_context*, const pa_module_info* info, int eol, void* userdata) noexcept
{
    if (eol != 0 || !info) return;
    try {
        auto& self = *static_cast<MirrorConnection*>(userdata);
        self.watchingChooser([&] { self.mirror_.moduleArrived(info->index, choosesDefaults(*info)); });
    } catch (...) {
        // As above.
    }
}

void MirrorConnection::onModuleList(pa_context* context, const pa_module_info* info, int eol, void* userdata) noexcept
{
    try {
        auto& self = *static_cast<MirrorConnection*>(userdata);
        if (eol < 0) {
            self.moduleListing_.clear();
            sendDetached(pa_context_get_module_info_list(context, &MirrorConnection::onModuleList, userdata));
        } else if (eol > 0 || !info) {
            self.handle(self.mirror_.listedModules(std::exchange(self.moduleListing_, {})));
        } else if (choosesDefaults(*info)) {
            self.moduleListing_.insert(info->index);
        }
    } catch (...) {
        // As above.
    }
}

void MirrorConnection::onCardInfo(pa_context*, const pa_card_info* info, int eol, void* userdata) noexcept
{
    if (eol != 0 || !info) return;
    try {
        auto& self = *static_cast<MirrorConnection*>(userdata);
        self.handle(self.mirror_.cardArrived(cardOf(*info), self.now()));
    } catch (...) {
        // As above.
    }
}

void MirrorConnection::onCardList(pa_context* context, const pa_card_info* info, int eol, void* userdata) noexcept
{
    try {
        auto& self = *static_cast<MirrorConnection*>(userdata);
        if (eol < 0) {
            self.cardListing_.clear();
            sendDetached(pa_context_get_card_info_list(context, &MirrorConnection::onCardList, userdata));
        } else if (eol > 0 || !info) {
            self.handle(self.mirror_.listedCards(std::exchange(self.cardListing_, {})));
        } else {
            self.cardListing_.push_back(cardOf(*info));
        }
    } catch (...) {
        // As above.
    }
}

template <typename Info>
void MirrorConnection::onEndpointInfo(pa_context*, const Info* info, int eol, void* userdata) noexcept
{
    // A lost answer (the endpoint went meanwhile) leaves the mirror as it was.
    if (eol != 0 || !info) return;
    try {
        auto& self = *static_cast<MirrorConnection*>(userdata);
        self.handle(self.mirror_.endpointArrived(endpointOf(*info), self.now()));
    } catch (...) {
        // As above.
    }
}

template <typename Info>
void MirrorConnection::onEndpointList(pa_context*, const Info* info, int eol, void* userdata) noexcept
{
    try {
        auto& self = *static_cast<MirrorConnection*>(userdata);
        const Direction direction = std::is_same_v<Info, pa_source_info> ? Direction::input : Direction::output;
        if (eol != 0 || !info) self.endpointListEnded(direction, eol < 0);
        else self.endpointListed(endpointOf(*info));
    } catch (...) {
        // As above.
    }
}

void MirrorConnection::onSetDone(pa_context*, int success, void* userdata) noexcept
{
    auto* set = static_cast<PendingSet*>(userdata);
    MirrorConnection& self = *set->owner;
    try {
        if (success != 0) {
            self.watchingChooser([&] { self.mirror_.setAcknowledged(set->direction, set->name, self.now()); });
        } else {
            // Refused: the server's own report is the truth again.
            self.requestServerInfo();
        }
    } catch (...) {
        // As above.
    }
    self.sets_.remove_if([set](const PendingSet& pending) { return &pending == set; });
    self.delivery_.setAnswered();
}

} // namespace vantorelle::pulse
