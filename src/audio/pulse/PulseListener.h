#pragma once

#include "audio/pulse/CoalescingTrigger.h"
#include "audio/pulse/PulseAudioOptions.h"
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
class PulseListener final : public QObject {
public:
    PulseListener(const PulseAudioOptions& options, std::function<void()> onDeviceListChange,
                  std::function<void()> onDefaultChange);
    ~PulseListener() override;
    PulseListener(const PulseListener&) = delete;
    PulseListener& operator=(const PulseListener&) = delete;

    void start();
    // Subscribed, and the current defaults are known: from here on, no change is missed.
    bool isReady() const noexcept;

private:
    static void onContextState(pa_context* context, void* userdata) noexcept;
    static void onSubscribed(pa_context* context, int success, void* userdata) noexcept;
    static void onEvent(pa_context* context, pa_subscription_event_type_t event, std::uint32_t index,
                        void* userdata) noexcept;
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* userdata) noexcept;

    void connectNow() noexcept;
    void connected() noexcept;
    void connectionLost() noexcept;
    void scheduleReconnect() noexcept;
    void requestDefaults() noexcept;
    void defaultsArrived(const PulseServerDefaults& defaults);
    void eventArrived(pa_subscription_event_type_t event);

    std::optional<std::string> server_;
    std::chrono::milliseconds minDelay_;
    std::chrono::milliseconds maxDelay_;
    std::chrono::milliseconds nextDelay_;
    std::function<void()> onDefaultChange_;
    std::optional<PulseServerDefaults> knownDefaults_;
    bool subscribed_ = false;
    bool defaultsFetched_ = false;
    bool resyncWhenReady_ = true;
    // Declared in teardown order (last first): timers, pending requests, context, loop.
    QtMainloopHandle loop_;
    Context context_;
    Operation subscribeOperation_;
    Operation defaultsOperation_;
    CoalescingTrigger deviceListChange_;
    CoalescingTrigger defaultChange_;
    QTimer reconnectTimer_;
};

} // namespace vantorelle::pulse
