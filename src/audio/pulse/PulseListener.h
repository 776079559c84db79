#pragma once

#include "audio/pulse/CoalescingTrigger.h"
#include "audio/pulse/DeviceChangeFilter.h"
#include "audio/pulse/PulseAudioOptions.h"
#include "audio/pulse/PulseEndpoint.h"
#include "audio/pulse/PulseEventSource.h"
#include "audio/pulse/PulseHandles.h"
#include "audio/pulse/PulseServerDefaults.h"
#include "audio/pulse/QtMainloop.h"

#include <pulse/introspect.h>
#include <pulse/subscribe.h>

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vantorelle::pulse {

// The subscription connection. It runs on a libpulse main loop built on Qt's event dispatcher,
// so every event arrives on the owner's (main) thread between other work, and the owner's
// callbacks run from Qt events, never from inside libpulse. When the server goes away it retries
// with growing delays until it is back, and then reports a device-list change so the owner
// resynchronises. A default change that comes with a device-list change (the server picking a
// fallback for a device that went) is folded into it: the owner reads the defaults again in its
// pass, and still knows which default was in effect before the event. Nothing fires after
// destruction.
class PulseListener final : public QObject, public PulseEventSource {
public:
    // The quiet handler stands in for the device-list change that follows each (re)connection
    // and each Bluetooth profile change.
    PulseListener(const PulseAudioOptions& options, PulseEventHandlers handlers);
    // Makes listeners for a PulseAudioSystem: events on the Qt event loop of the calling thread.
    static PulseEventSourceFactory factory();
    ~PulseListener() override;
    PulseListener(const PulseListener&) = delete;
    PulseListener& operator=(const PulseListener&) = delete;

    void start() override;
    // Without a connection, the reconnection brings its own look.
    void requestResync() noexcept override;
    bool isReady() const noexcept override;

private:
    static void onContextState(pa_context* context, void* userdata) noexcept;
    static void onSubscribed(pa_context* context, int success, void* userdata) noexcept;
    static void onEvent(pa_context* context, pa_subscription_event_type_t event, std::uint32_t index,
                        void* userdata) noexcept;
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* userdata) noexcept;
    static void onResyncAnswer(pa_context* context, const pa_server_info* info, void* userdata) noexcept;
    template <bool isNew, typename Info>
    static void onEndpointInfo(pa_context* context, const Info* info, int eol, void* userdata) noexcept;

    void connectNow() noexcept;
    void connected() noexcept;
    void connectionLost() noexcept;
    void scheduleReconnect() noexcept;
    void requestDefaults() noexcept;
    void defaultsArrived(const PulseServerDefaults& defaults);
    void eventArrived(pa_subscription_event_type_t event, std::uint32_t index);
    template <bool isNew>
    void requestEndpoint(unsigned facility, std::uint32_t index) noexcept;
    void endpointArrived(const PulseEndpoint& endpoint, bool isNew);
    void requestEndpointLists() noexcept;
    // Acts on the filter's verdict; `settlesSoon`: a new endpoint of a profile change came.
    void apply(DeviceChangeFilter::Verdict verdict, bool settlesSoon);
    // Whether a plug's first event starts a pass before its facts are in.
    bool announcesPlugs() const;
    static void onCardInfo(pa_context* context, const pa_card_info* info, int eol, void* userdata) noexcept;

    std::optional<std::string> server_;
    std::chrono::milliseconds minDelay_;
    std::chrono::milliseconds maxDelay_;
    std::chrono::milliseconds nextDelay_;
    std::chrono::milliseconds settleAfterConnect_;
    std::function<void(const PulseServerDefaults&)> onDefaultChange_;
    std::function<bool(const PulseEndpoint&)> lookedAt_;
    std::optional<PulseServerDefaults> knownDefaults_;
    bool subscribed_ = false;
    bool defaultsFetched_ = false;
    bool resyncWhenReady_ = true;
    bool nextIsReconnect_ = false;
    bool nextIsProfileChange_ = false;
    bool serverWasAway_ = false;
    bool looksKeepUp_ = false;
    std::chrono::steady_clock::time_point settlingUntil_;
    DeviceChangeFilter filter_;
    // Declared in teardown order (last first): timers, pending requests, context, loop.
    QtMainloopHandle loop_;
    Context context_;
    Operation subscribeOperation_;
    Operation defaultsOperation_;
    Operation resyncOperation_;
    CoalescingTrigger deviceListChange_;
    CoalescingTrigger defaultChange_;
    QTimer reconnectTimer_;
    QTimer settleTimer_;
    QTimer resyncTimer_;
    std::chrono::steady_clock::time_point lastResync_;
};

} // namespace vantorelle::pulse
