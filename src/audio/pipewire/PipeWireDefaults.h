#pragma once

#include "audio/pulse/DefaultsFeed.h"
#include "audio/pulse/LoopEvents.h"

#include <pulse/mainloop-api.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct pw_loop;
struct pw_context;

namespace vantorelle::pipewire {

// PipeWire's own record of the default sink and source (its "default" metadata), followed
// through libpipewire. On PipeWire a long-lived pulse connection can be told stale defaults;
// this record is the one the session manager writes.
//
// Runs on the libpulse loop interface it is given: the PipeWire loop is a single descriptor
// watched there, so no thread of its own; its one timer runs only after the server's events, so
// nothing wakes while nothing changes.
// No PipeWire, or a broken connection, leaves it not ready, with no defaults, and quiet; each
// call of reconnect() tries again. A restarted session manager's new record is taken up by
// itself. PipeWire can fail to tell a bound client of a change (see the .cpp); the record is then
// confirmed within a second of the events that may have cost it. The names are node names, which
// equal the pulse sink and source names.
class PipeWireDefaults final : public pulse::DefaultsFeed {
public:
    // `remote`: a socket name in the runtime folder or an absolute path; by default the one
    // libpipewire finds (PIPEWIRE_REMOTE, else pipewire-0). Connects at once. The loop must
    // outlive this object.
    explicit PipeWireDefaults(pa_mainloop_api* api, std::optional<std::string> remote = std::nullopt);
    ~PipeWireDefaults() override;
    PipeWireDefaults(const PipeWireDefaults&) = delete;
    PipeWireDefaults& operator=(const PipeWireDefaults&) = delete;

    // What the record says, as last announced.
    struct Answers {
        // Connected, the record bound and its contents as of the bind received.
        bool ready = false;
        // The defaults in effect; nothing while not ready or when PipeWire has none.
        std::optional<std::string> sink;
        std::optional<std::string> source;
        // The ones chosen by a user or program, which stay when that device is gone.
        std::optional<std::string> configuredSink;
        std::optional<std::string> configuredSource;

        bool operator==(const Answers&) const = default;
    };
    const Answers& answers() const noexcept { return announced_; }

    // Connects anew unless the connection works; for when the server may have been replaced,
    // as when the pulse connection to PipeWire is made again.
    void reconnect() noexcept override;
    bool setStreamTarget(std::uint32_t node, const std::string& target) noexcept override;

    // As the mirror's feed: both effective defaults, while ready.
    std::optional<pulse::PulseServerDefaults> defaults() const override;
    // Called on the loop, from a deferred event of its own, once after any change of answers()
    // (readiness included); they change only then. It may call anything here, reconnect() and
    // the destructor too.
    void setOnChange(std::function<void()> handler) override { onChange_ = std::move(handler); }
    // Feeds for the mirror, on libpipewire's usual lookup of the server.
    static pulse::DefaultsFeedFactory factory();

private:
    class Connection;

    // How long after a client appeared or the record changed it is confirmed, and the longest a
    // stream of them puts that off.
    static constexpr std::chrono::milliseconds confirmDelay{150};
    static constexpr std::chrono::milliseconds confirmBound{600};

    void connect() noexcept;
    // `always`: a client appeared, which may have cost a whole change; otherwise only a record
    // whose choice and default in effect differ is confirmed.
    void confirmSoon(bool always) noexcept;
    void confirmNow() noexcept;
    // Runs what is ready on the PipeWire loop, without waiting.
    void dispatch() noexcept;
    // A look at the answers, from a deferred event (deferred_) outside libpipewire's callbacks:
    // lets go of a broken connection and announces answers that changed.
    void announce() noexcept;

    struct LoopDestroy {
        void operator()(pw_loop* loop) const noexcept;
    };
    struct ContextDestroy {
        void operator()(pw_context* context) const noexcept;
    };
    struct IoFree {
        pa_mainloop_api* api;
        void operator()(pa_io_event* event) const noexcept { api->io_free(event); }
    };

    pa_mainloop_api* api_;
    std::optional<std::string> remote_;
    pulse::DeferredCall deferred_;
    std::unique_ptr<pw_loop, LoopDestroy> loop_;
    std::unique_ptr<pa_io_event, IoFree> watch_;
    std::unique_ptr<pw_context, ContextDestroy> context_;
    std::unique_ptr<Connection> connection_;
    Answers announced_;
    std::function<void()> onChange_;
    pulse::LoopTimer confirmTimer_;
    std::optional<std::chrono::steady_clock::time_point> confirmBound_;
    bool confirmAlways_ = false;
};

} // namespace vantorelle::pipewire
