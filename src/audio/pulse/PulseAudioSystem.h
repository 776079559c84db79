#pragma once

#include "audio/pulse/ChangeDelivery.h"
#include "audio/pulse/DefaultsFeed.h"
#include "audio/pulse/LoopEvents.h"
#include "audio/pulse/PulseAudioOptions.h"
#include "audio/pulse/PulseHandles.h"
#include "audio/pulse/ServerMirror.h"
#include "audio/pulse/StreamMirror.h"
#include "audio/pulse/StreamRestore.h"

#include <pulse/introspect.h>
#include <pulse/subscribe.h>

#include <chrono>
#include <cstdint>
#include <list>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantorelle {

// The audio system as a PulseAudio (or pipewire-pulse) server presents it: each sink is an output
// device, each source an input device. One long-lived connection keeps a ServerMirror current: it
// subscribes, takes one look (sinks, sources, cards and defaults, requested together), then
// follows every event with the facts of what it names. Every read is answered from the mirror,
// without a round trip; a set is a request whose answer updates the mirror. It never waits, and
// a lost connection is made again, with growing delays, for as long as the object lives. Until
// the first look is complete, and while a headset is between two profiles, the device list is
// "no answer", never "no devices". The applications' streams are followed the same way, on the
// same connection.
class PulseAudioSystem final : public pulse::ChangeDelivery {
public:
    // Follows the server on `loop` (the application's), reconnecting for as long as it lives.
    PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<pulse::EventLoop> loop,
                     pulse::DefaultsFeedFactory defaultsFeed = {});
    // One look on a private loop, waited for up to the options' query deadline: for the
    // reports, which ask once and never listen.
    static std::unique_ptr<PulseAudioSystem> snapshot(PulseAudioOptions options = {});
    ~PulseAudioSystem() override;

    std::optional<std::vector<AudioDevice>> devices() const override;
    std::optional<SystemDefaults> defaults() const override;
    // Sends the request unless the device is the default already or a set to it is on its way.
    bool setDefault(Direction direction, const std::string& uid) override;
    std::vector<AudioStream> streams() const override;
    // On PipeWire through its own record of the stream's target, which leaves the session
    // manager nothing to remember; elsewhere a pulse move whose memory is put back (StreamRestore).
    bool moveStream(Direction direction, std::uint32_t id, const std::string& uid) override;

    // A snapshot's loop runs only while someone waits on it: runs it until the sets made so far
    // are answered, for as long as the query deadline at most. True when they were.
    bool settleSnapshotSets();

    // Subscribed and the first look is complete: from here on no change is missed.
    bool isReady() const noexcept { return subscribed_ && mirror_.isComplete(); }
    // The latest attempt to connect failed, or the connection was lost.
    bool isUnreachable() const noexcept { return unreachable_; }

private:
    struct PendingSet {
        PulseAudioSystem* owner;
        Direction direction;
        std::string name;
    };

    // `reconnects`: false for a one-shot look, which gives up with the first failed attempt.
    PulseAudioSystem(PulseAudioOptions options, std::unique_ptr<pulse::EventLoop> loop, bool reconnects,
                     pulse::DefaultsFeedFactory defaultsFeed);

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
    template <typename Info>
    static void onStreamInfo(pa_context* context, const Info* info, int eol, void* userdata) noexcept;
    template <typename Info>
    static void onStreamList(pa_context* context, const Info* info, int eol, void* userdata) noexcept;

    bool isHolding() const noexcept override { return mirror_.isHolding(); }
    bool isReadingDefaults() const noexcept override { return defaultsReads_ > 0; }
    bool switchesOnConnect() const noexcept override
    {
        return mirror_.otherChooser() == OtherChooser::switchOnConnect;
    }
    void delivered() override;
    void connectNow() noexcept;
    void connected();
    void lost() noexcept;
    void eventArrived(pa_subscription_event_type_t event, std::uint32_t index);
    void requestEndpointLists(bool asLook);
    void requestServerInfo();
    void endpointListed(const pulse::PulseEndpoint& endpoint);
    void endpointListEnded(Direction direction, bool failed);
    // The streams' part of the connection (PulseStreams.cpp).
    void requestStreamLists();
    void requestStreamList(Direction direction);
    void streamEvent(Direction direction, unsigned type, std::uint32_t index);
    void streamArrived(const pulse::PulseStream& stream);
    void streamGone(Direction direction, std::uint32_t index);
    static void onMoveDone(pa_context* context, int success, void* userdata) noexcept;
    // Acts on what the mirror made of an update.
    void handle(pulse::MirrorChange change);
    void feedChanged();
    // Runs `update` on the mirror; a change of the other chooser reaches the listener as a
    // default change, whose read tells it.
    template <typename Update>
    auto watchingChooser(const Update& update);
    std::optional<pulse::PulseServerDefaults> fedDefaults() const;
    void serverIdentified(bool isPipeWire);
    void armDeadline();
    std::chrono::steady_clock::time_point now() const { return std::chrono::steady_clock::now(); }

    // Tells the trace a line, made only while it listens.
    template <typename MakeLine>
    void trace(const MakeLine& makeLine) const noexcept
    {
        if (!trace_ || !trace_->isOn()) return;
        try {
            trace_->write(makeLine());
        } catch (...) {
        }
    }

    std::optional<std::string> server_;
    std::shared_ptr<Trace> trace_;
    bool reconnects_;
    // A snapshot's own loop, and how long it waits.
    pulse::BlockingLoop* snapshotLoop_ = nullptr;
    std::chrono::milliseconds snapshotDeadline_{0};
    std::chrono::milliseconds minDelay_;
    std::chrono::milliseconds maxDelay_;
    std::chrono::milliseconds nextDelay_;
    pulse::ServerMirror mirror_;
    // Made once the server turns out to be PipeWire.
    pulse::DefaultsFeedFactory feedFactory_;
    std::unique_ptr<pulse::DefaultsFeed> feed_;

    bool subscribed_ = false;
    bool unreachable_ = false;
    bool afterAbsence_ = false;
    // The look's lists as they come in; a card list of the look or of a card change.
    bool listingLook_[2] = {false, false};
    std::vector<pulse::PulseEndpoint> listing_[2];
    std::vector<pulse::PulseCard> cardListing_;
    std::set<std::uint32_t> moduleListing_;
    // Server-info requests on their way since the first look.
    int defaultsReads_ = 0;
    // Questions about single endpoints asked and answered (answers come in order), and new
    // modules not yet asked about (see delivered()).
    std::uint64_t endpointsAsked_ = 0;
    std::uint64_t endpointsAnswered_ = 0;
    struct ModuleQuestion {
        std::uint32_t index;
        // The endpoint questions asked before the module came, whose answers it waits for.
        std::uint64_t after;
    };
    std::vector<ModuleQuestion> moduleQuestions_;

    std::list<PendingSet> sets_;

    pulse::StreamMirror streams_;
    std::vector<pulse::PulseStream> streamListing_[2];
    // Streams we moved, by key, until they end; the server's memory of their keys.
    std::map<pulse::StreamMirror::Key, std::string> movedStreams_;
    pulse::StreamRestore restore_;
    // Moves on their way through the pulse layer, oldest first.
    std::deque<pulse::StreamMirror::Key> moving_;
    // A move waited for PipeWire's record: the streams are looked at again once it is read.
    bool waitingForFeed_ = false;

    // Declared in teardown order (last first): events, then the context.
    pulse::Context context_;
    pulse::LoopTimer deadlineTimer_;
    pulse::LoopTimer reconnectTimer_;
};

} // namespace vantorelle
