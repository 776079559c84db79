#pragma once

#include "audio/pulse/ChangeDelivery.h"
#include "audio/pulse/DefaultsFeed.h"
#include "audio/pulse/LoopEvents.h"
#include "audio/pulse/PulseAudioOptions.h"
#include "audio/pulse/PulseHandles.h"
#include "audio/pulse/ServerMirror.h"

#include <pulse/introspect.h>
#include <pulse/subscribe.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantorelle::pulse {


// The one long-lived connection that keeps a ServerMirror current: it subscribes, takes one look
// (sinks, sources, cards and defaults, requested together), then follows every event with the
// facts of what it names. It runs on the loop it is given and never waits: a request is sent and
// its answer updates the mirror when it comes. A lost connection is made again, with growing
// delays, for as long as the object lives. The owner hears of changes through a ChangeDelivery.
class MirrorConnection {
public:
    using Handlers = ChangeDelivery::Handlers;

    // `reconnects`: false for a one-shot look, which gives up with the first failed attempt.
    MirrorConnection(pa_mainloop_api* api, const PulseAudioOptions& options, bool reconnects,
                     DefaultsFeedFactory defaultsFeed = {});
    ~MirrorConnection();
    MirrorConnection(const MirrorConnection&) = delete;
    MirrorConnection& operator=(const MirrorConnection&) = delete;

    void start() noexcept;
    void setHandlers(Handlers handlers) { delivery_.setHandlers(std::move(handlers)); }

    const ServerMirror& mirror() const noexcept { return mirror_; }
    std::optional<OtherChooser> otherChooser() const { return mirror_.otherChooser(); }
    // Subscribed and the first look is complete: from here on no change is missed.
    bool isReady() const noexcept { return subscribed_ && mirror_.isComplete(); }
    // The latest attempt to connect failed, or the connection was lost.
    bool isUnreachable() const noexcept { return unreachable_; }

    // Sends the request unless the device is the default already or a set to it is on its way;
    // false when it cannot be sent. The server's acknowledgement updates the mirror.
    bool setDefault(Direction direction, const std::string& name) noexcept;
    // Calls `then` once every set sent so far has been answered (or lost with the connection).
    void whenSetsSettled(std::function<void()> then);
    // A device-list change once the mirror can be read (at once, when it can now).
    void requestResync() noexcept;

private:
    struct PendingSet {
        MirrorConnection* owner;
        Direction direction;
        std::string name;
    };

    static void onContextState(pa_context* context, void* userdata) noexcept;
    static void onSubscribed(pa_context* context, int success, void* userdata) noexcept;
    static void onEvent(pa_context* context, pa_subscription_event_type_t event, std::uint32_t index,
                        void* userdata) noexcept;
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* userdata) noexcept;
    static void onCardInfo(pa_context* context, const pa_card_info* info, int eol, void* userdata) noexcept;
    static void onCardList(pa_context* context, const pa_card_info* info, int eol, void* userdata) noexcept;
    template <typename Info>
    static void onEndpointInfo(pa_context* context, const Info* info, int eol, void* userdata) noexcept;
    template <typename Info>
    static void onEndpointList(pa_context* context, const Info* info, int eol, void* userdata) noexcept;
    static void onSetDone(pa_context* context, int success, void* userdata) noexcept;
    static void onModuleInfo(pa_context* context, const pa_module_info* info, int eol, void* userdata) noexcept;
    static void onModuleList(pa_context* context, const pa_module_info* info, int eol, void* userdata) noexcept;

    void connectNow() noexcept;
    void connected();
    void lost() noexcept;
    void eventArrived(pa_subscription_event_type_t event, std::uint32_t index);
    void requestEndpointLists(bool asLook);
    void requestServerInfo();
    void endpointListed(const PulseEndpoint& endpoint);
    void endpointListEnded(Direction direction, bool failed);
    // Acts on what the mirror made of an update.
    void handle(MirrorChange change);
    void defaultsChanged();
    // Runs `update` on the mirror; a change of the other chooser reaches the owner as a default
    // change, whose read tells it.
    template <typename Update>
    auto watchingChooser(const Update& update);
    void feedChanged();
    std::optional<PulseServerDefaults> fedDefaults() const;
    void serverIdentified(bool isPipeWire);
    void armDeadline();
    std::chrono::steady_clock::time_point now() const { return std::chrono::steady_clock::now(); }

    pa_mainloop_api* api_;
    std::optional<std::string> server_;
    bool reconnects_;
    std::chrono::milliseconds minDelay_;
    std::chrono::milliseconds maxDelay_;
    std::chrono::milliseconds nextDelay_;
    ServerMirror mirror_;
    // Made once the server turns out to be PipeWire.
    DefaultsFeedFactory feedFactory_;
    std::unique_ptr<DefaultsFeed> feed_;

    bool subscribed_ = false;
    bool unreachable_ = false;
    bool afterAbsence_ = false;
    // Server-info requests on their way since the first look.
    int defaultsReads_ = 0;
    // The look's lists as they come in; a card list of the look or of a card change.
    bool listingLook_[2] = {false, false};
    std::vector<PulseEndpoint> listing_[2];
    std::vector<PulseCard> cardListing_;
    std::set<std::uint32_t> moduleListing_;

    std::list<PendingSet> sets_;

    // Declared in teardown order (last first): events, then the context.
    Context context_;
    ChangeDelivery delivery_;
    LoopTimer deadlineTimer_;
    LoopTimer reconnectTimer_;
};

} // namespace vantorelle::pulse
