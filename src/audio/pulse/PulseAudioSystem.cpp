#include "audio/pulse/PulseAudioSystem.h"
#include "audio/pulse/PulseAudioSystemChooser.h"

#include "audio/pulse/PulseDeviceMapping.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>

namespace vantorelle {

using namespace pulse;

PulseAudioSystem::PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<EventLoop> loop,
                                   DefaultsFeedFactory defaultsFeed)
    : PulseAudioSystem(std::move(options), std::move(loop), true, std::move(defaultsFeed))
{
}

PulseAudioSystem::PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<EventLoop> loop, bool reconnects,
                                   DefaultsFeedFactory defaultsFeed)
    : ChangeDelivery(std::move(loop), options.coalescingWindow)
    , server_(std::move(options.server))
    , trace_(std::move(options.trace))
    , reconnects_(reconnects)
    , minDelay_(std::max(options.reconnectMinDelay, std::chrono::milliseconds(1)))
    , maxDelay_(std::max(options.reconnectMaxDelay, minDelay_))
    , nextDelay_(minDelay_)
    , mirror_(options.settleAfterConnect)
    , feedFactory_(std::move(defaultsFeed))
    , deadlineTimer_(api(), [this] { handle(mirror_.tick(now())); })
    , reconnectTimer_(api(), [this] { connectNow(); })
{
    connectNow();
}

std::unique_ptr<PulseAudioSystem> PulseAudioSystem::snapshot(PulseAudioOptions options)
{
    auto loop = std::make_unique<BlockingLoop>();
    BlockingLoop& waiting = *loop;
    const auto deadline = std::chrono::steady_clock::now() + options.queryDeadline;
    const std::chrono::milliseconds queryDeadline = options.queryDeadline;
    std::unique_ptr<PulseAudioSystem> system(new PulseAudioSystem(std::move(options), std::move(loop), false, {}));
    system->snapshotLoop_ = &waiting;
    system->snapshotDeadline_ = queryDeadline;
    const PulseAudioSystem& connection = *system;
    waiting.runUntil([&connection] { return connection.isReady() || connection.isUnreachable(); }, deadline);
    return system;
}

bool PulseAudioSystem::settleSnapshotSets()
{
    if (snapshotLoop_ == nullptr) return false;
    // Shared: a waiter that outlasts this call finds its flag still there.
    const auto settled = std::make_shared<bool>(false);
    whenSetsSettled([settled] { *settled = true; });
    return snapshotLoop_->runUntil([&settled] { return *settled; }, std::chrono::steady_clock::now() + snapshotDeadline_);
}

// The context goes first: its callbacks may reach this object, which is on its way out.
PulseAudioSystem::~PulseAudioSystem()
{
    context_.reset();
    feed_.reset();
}

// ---- the engine's reads and sets -------------------------------------------------------------

std::optional<std::vector<AudioDevice>> PulseAudioSystem::devices() const
{
    // Mid-change the list would be wrong: no answer yet, rather than the headset gone.
    if (!isReady() || mirror_.isHolding()) return std::nullopt;
    try {
        return mirror_.devices();
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<SystemDefaults> PulseAudioSystem::defaults() const
{
    if (!isReady()) return std::nullopt;
    try {
        return mirror_.defaultDevices();
    } catch (...) {
        return std::nullopt;
    }
}

// ---- the connection ----------------------------------------------------------------------

void PulseAudioSystem::connectNow() noexcept
{
    context_.reset();
    subscribed_ = false;
    if (!api()) {
        unreachable_ = true;
        return;
    }
    context_ = makeContext(api());
    if (!context_) {
        lost();
        return;
    }
    pa_context_set_state_callback(context_.get(), &PulseAudioSystem::onContextState, this);
    const char* server = server_ ? server_->c_str() : nullptr;
    if (pa_context_connect(context_.get(), server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) lost();
}

void PulseAudioSystem::connected()
{
    trace([] { return "connected to the sound server; taking a first look"; });
    nextDelay_ = minDelay_;
    unreachable_ = false;
    pa_context* context = context_.get();
    pa_context_set_subscribe_callback(context, &PulseAudioSystem::onEvent, this);
    const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE
                                                          | PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_CARD
                                                          | PA_SUBSCRIPTION_MASK_MODULE | PA_SUBSCRIPTION_MASK_SINK_INPUT
                                                          | PA_SUBSCRIPTION_MASK_SOURCE_OUTPUT);
    // Subscribed before the look is asked for: requests are answered in order, so nothing that
    // changes after the look can be missed. A one-shot look follows nothing.
    if (reconnects_) sendDetached(pa_context_subscribe(context, mask, &PulseAudioSystem::onSubscribed, this));
    else subscribed_ = true;
    mirror_.beginLook(std::exchange(afterAbsence_, false), now());
    requestEndpointLists(true);
    cardListing_.clear();
    sendDetached(pa_context_get_card_info_list(context, &PulseAudioSystem::onCardList, this));
    moduleListing_.clear();
    sendDetached(pa_context_get_module_info_list(context, &PulseAudioSystem::onModuleList, this));
    requestServerInfo();
    if (reconnects_) requestStreamLists();
}

// Called from inside the context's own callback: the context is let go of on the next attempt.
void PulseAudioSystem::lost() noexcept
{
    unreachable_ = true;
    afterAbsence_ = true;
    subscribed_ = false;
    defaultsReads_ = 0;
    // The look lists the modules anew.
    endpointsAnswered_ = endpointsAsked_;
    moduleQuestions_.clear();
    mirror_.lost();
    deadlineTimer_.stop();
    // Their answers cannot come any more.
    sets_.clear();
    setsLost();
    movedStreams_.clear();
    moving_.clear();
    restore_.clear();
    if (!reconnects_ || reconnectTimer_.isActive()) return;
    trace([this] { return "no connection to the sound server; trying again in " + std::to_string(nextDelay_.count()) + " ms"; });
    reconnectTimer_.startAt(now() + nextDelay_);
    nextDelay_ = std::min(nextDelay_ * 2, maxDelay_);
}

void PulseAudioSystem::requestEndpointLists(bool asLook)
{
    pa_context* context = context_.get();
    // The look's own lists, still on their way, are newer than any event before them.
    if (!asLook && (listingLook_[0] || listingLook_[1])) return;
    for (const Direction direction : allDirections) {
        listingLook_[slotOf(direction)] = asLook;
        listing_[slotOf(direction)].clear();
    }
    sendDetached(pa_context_get_sink_info_list(context, &PulseAudioSystem::onEndpointList<pa_sink_info>, this));
    sendDetached(pa_context_get_source_info_list(context, &PulseAudioSystem::onEndpointList<pa_source_info>, this));
}

void PulseAudioSystem::requestServerInfo()
{
    pa_operation* operation = pa_context_get_server_info(context_.get(), &PulseAudioSystem::onServerInfo, this);
    if (operation && mirror_.isComplete()) ++defaultsReads_;
    sendDetached(operation);
}

void PulseAudioSystem::eventArrived(pa_subscription_event_type_t event, std::uint32_t index)
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
        } else if (type == PA_SUBSCRIPTION_EVENT_CHANGE && !mirror_.findIndexed(direction, index)) {
            // A new endpoint is told changed before it is told new, and the new one brings its
            // facts (as a listing on its way does): one question, not two, so that the server
            // answers a set sent meanwhile sooner.
        } else {
            pa_operation* question =
                direction == Direction::output
                    ? pa_context_get_sink_info_by_index(context, index, &onEndpointInfo<pa_sink_info>, this)
                    : pa_context_get_source_info_by_index(context, index, &onEndpointInfo<pa_source_info>, this);
            if (question) ++endpointsAsked_;
            sendDetached(question);
        }
        break;
    }
    case PA_SUBSCRIPTION_EVENT_CARD:
        if (type == PA_SUBSCRIPTION_EVENT_REMOVE) {
            handle(mirror_.cardRemoved(index, now()));
            break;
        }
        sendDetached(pa_context_get_card_info_by_index(context, index, &PulseAudioSystem::onCardInfo, this));
        // A card tells of its jacks' availability; its endpoints may not.
        if (type == PA_SUBSCRIPTION_EVENT_CHANGE) requestEndpointLists(false);
        break;
    case PA_SUBSCRIPTION_EVENT_MODULE:
        if (type == PA_SUBSCRIPTION_EVENT_REMOVE) {
            std::erase_if(moduleQuestions_, [index](const ModuleQuestion& asked) { return asked.index == index; });
            watchingChooser([&] { mirror_.moduleRemoved(index); });
        } else if (type == PA_SUBSCRIPTION_EVENT_NEW) {
            moduleQuestions_.push_back({index, endpointsAsked_});
            deliverSoon();
        }
        break;
    case PA_SUBSCRIPTION_EVENT_SINK_INPUT:
        streamEvent(Direction::output, type, index);
        break;
    case PA_SUBSCRIPTION_EVENT_SOURCE_OUTPUT:
        streamEvent(Direction::input, type, index);
        break;
    case PA_SUBSCRIPTION_EVENT_SERVER:
        requestServerInfo();
        break;
    default:
        break;
    }
}

void PulseAudioSystem::endpointListed(const PulseEndpoint& endpoint)
{
    const std::size_t slot = slotOf(endpoint.direction);
    if (listingLook_[slot]) listing_[slot].push_back(endpoint);
    else handle(mirror_.endpointArrived(endpoint, now()));
}

void PulseAudioSystem::endpointListEnded(Direction direction, bool failed)
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

// The server answers a connection's requests in order. A module comes with the devices it makes:
// asked about at once, its answer would come before the set their pass sends, and every answer
// before the set delays the switch. So it is asked about once the endpoints asked about before
// it came are answered and no pass is due; later questions do not hold it back.
void PulseAudioSystem::delivered()
{
    if (isPassDue()) return;
    const auto waiting = std::ranges::find_if(
        moduleQuestions_, [this](const ModuleQuestion& question) { return question.after > endpointsAnswered_; });
    for (auto question = moduleQuestions_.begin(); question != waiting; ++question) {
        sendDetached(pa_context_get_module_info(context_.get(), question->index, &onModuleInfo, this));
    }
    moduleQuestions_.erase(moduleQuestions_.begin(), waiting);
}

void PulseAudioSystem::handle(MirrorChange change)
{
    armDeadline();
    if (change != MirrorChange::none) queuePass(change == MirrorChange::news);
}

void PulseAudioSystem::armDeadline()
{
    if (const auto next = mirror_.nextDeadline()) deadlineTimer_.startAt(*next);
    else deadlineTimer_.stop();
}

void PulseAudioSystem::serverIdentified(bool isPipeWire)
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
        feed_ = feedFactory_(api());
        if (feed_) feed_->setOnChange([this] { feedChanged(); });
    } catch (...) {
        feed_.reset();
    }
}

std::optional<PulseServerDefaults> PulseAudioSystem::fedDefaults() const
{
    if (!feed_) return std::nullopt;
    const std::optional<PulseServerDefaults> fed = feed_->defaults();
    return fed ? std::optional(mirror_.inPulseNames(*fed)) : std::nullopt;
}

void PulseAudioSystem::feedChanged()
{
    const std::optional<PulseServerDefaults> fed = fedDefaults();
    if (fed && waitingForFeed_ && streams_.isComplete()) {
        waitingForFeed_ = false;
        streamListChanged();
    }
    if (fed && mirror_.isComplete() && watchingChooser([&] { return mirror_.defaultsReported(*fed, now()); })) {
        queueDefaultChange();
    }
}

// ---- sets ---------------------------------------------------------------------------------

bool PulseAudioSystem::setDefault(Direction direction, const std::string& uid)
{
    try {
        const PulseEndpoint* endpoint = mirror_.findDevice(direction, uid);
        if (!isReady() || !endpoint) return false;
        const std::string& name = endpoint->name;
        const auto sameDirection = [direction](const PendingSet& set) { return set.direction == direction; };
        const auto latest = std::find_if(sets_.rbegin(), sets_.rend(), sameDirection);
        // A set changes the server's memory of past choices and tells every client: never twice.
        if (latest != sets_.rend() ? latest->name == name : mirror_.defaults().of(direction) == name) return true;
        PendingSet& set = sets_.emplace_back(PendingSet{this, direction, name});
        pa_context* context = context_.get();
        pa_operation* operation =
            direction == Direction::input
                ? pa_context_set_default_source(context, name.c_str(), &PulseAudioSystem::onSetDone, &set)
                : pa_context_set_default_sink(context, name.c_str(), &PulseAudioSystem::onSetDone, &set);
        if (!operation) {
            sets_.pop_back();
            return false;
        }
        sendDetached(operation);
        setSent();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace vantorelle
